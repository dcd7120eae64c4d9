#include "platform/data/field.h"

#include "platform/automation/class_builder.h"
#include "platform/data/data_error.h"
#include "platform/data/recordset.h"

namespace quorvan::data {

const ClassInfo& Field::Info() {
  static const ClassInfo info = ClassBuilder<Field>("Data.Field")
                                    .Get<&Field::Name>("Name")
                                    .Get<&Field::Value>("Value")
                                    .Put<&Field::SetValue>("Value", {In("Value")})
                                    .Get<&Field::Type>("Type")
                                    .Get<&Field::DefinedSize>("DefinedSize")
                                    .Get<&Field::Attributes>("Attributes")
                                    .Get<&Field::OriginalValue>("OriginalValue")
                                    .Build();
  return info;
}

std::shared_ptr<Recordset> Field::Owner() const {
  auto owner = recordset_.lock();
  if (!owner) RaiseDataError(data_error::kObjectClosed, "QuorvanData.Field");
  return owner;
}

std::string Field::Name() const { return Owner()->Column(index_).name; }
Variant Field::Value() const { return Owner()->Value(index_); }
void Field::SetValue(const Variant& value) { Owner()->SetValue(index_, value); }
int32_t Field::Type() const { return Owner()->Column(index_).type; }
int32_t Field::DefinedSize() const { return Owner()->Column(index_).defined_size; }
int32_t Field::Attributes() const { return Owner()->FieldAttributes(index_); }
Variant Field::OriginalValue() const { return Owner()->OriginalValue(index_); }

const ClassInfo& Fields::Info() {
  static const ClassInfo info =
      ClassBuilder<Fields>("Data.Fields")
          .Get<&Fields::Count>("Count")
          .Get<&Fields::Item>("Item", {In("Index")}, "Field")
          .Method<&Fields::Append>("Append", {In("Name"), In("Type"), Optional("DefinedSize"),
                                              Optional("Attrib"), Optional("FieldValue")})
          .Build();
  return info;
}

std::shared_ptr<Recordset> Fields::Owner() const {
  auto owner = recordset_.lock();
  if (!owner) RaiseDataError(data_error::kObjectClosed, "QuorvanData.Fields");
  return owner;
}

int32_t Fields::Count() const { return static_cast<int32_t>(Owner()->FieldCount()); }

ObjectPtr Fields::Item(const Variant& index) const {
  auto owner = Owner();
  return std::make_shared<Field>(owner, owner->FieldIndex(index));
}

void Fields::Append(const std::string& name, int32_t type, const Variant& defined_size,
                    const Variant& attributes, const Variant& /*field_value*/) {
  Owner()->AppendField(name, type, defined_size.IsMissing() ? -1 : defined_size.ToLong(),
                       attributes.IsMissing() ? 0 : attributes.ToLong());
}

}  // namespace quorvan::data
