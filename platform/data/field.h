// Field and Fields: views of a Recordset's columns. A Field reads and writes the value of its
// column in the row set's current row; Fields finds fields by name (ignoring case) or ordinal
// and, on a closed row set, appends fields to fabricate one.
// They hold the row set weakly: used after the row set is gone they raise 3704.
#pragma once

#include <memory>
#include <string>

#include "platform/automation/object.h"

namespace quorvan::data {

class Recordset;

class Field : public Object {
 public:
  Field(std::weak_ptr<Recordset> recordset, size_t index)
      : recordset_(std::move(recordset)), index_(index) {}
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  std::string Name() const;
  Variant Value() const;
  void SetValue(const Variant& value);
  int32_t Type() const;
  int32_t DefinedSize() const;
  int32_t Attributes() const;
  Variant OriginalValue() const;

 private:
  std::shared_ptr<Recordset> Owner() const;

  std::weak_ptr<Recordset> recordset_;
  size_t index_;
};

class Fields : public Object {
 public:
  explicit Fields(std::weak_ptr<Recordset> recordset) : recordset_(std::move(recordset)) {}
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  int32_t Count() const;
  ObjectPtr Item(const Variant& index) const;
  void Append(const std::string& name, int32_t type, const Variant& defined_size,
              const Variant& attributes, const Variant& field_value);

 private:
  std::shared_ptr<Recordset> Owner() const;

  std::weak_ptr<Recordset> recordset_;
};

}  // namespace quorvan::data
