// PostedForm: the posted form collection of a web request, as pages hand it to components.
// Fields keep their posting order; a field holds one or more values. Names compare ignoring
// ASCII case, as the web platform's form collection does.
//
// Automation members: Count (fields), Key(i) (the i-th field name, 1-based), Item(name) (a
// FormField; an unknown name gives a field with Count 0). FormField: Count, Item(i) (1-based
// values). Files posted with the form are kept for the upload component. Immutable after
// construction; one request, one thread.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/automation/object.h"

namespace quorvan::web {

struct PostedFile {
  std::string client_path;  // as the browser sent it, e.g. "C:\docs\offer.pdf"
  std::string content;      // the bytes
};

class FormField : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }
  explicit FormField(std::vector<std::string> values = {}) : values_(std::move(values)) {}

  int32_t Count() const { return static_cast<int32_t>(values_.size()); }
  std::string Item(int32_t index) const;  // 1-based; error 9 outside 1..Count
  const std::vector<std::string>& values() const { return values_; }

 private:
  std::vector<std::string> values_;
};

class PostedForm : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  void AddField(std::string name, std::vector<std::string> values);
  void AddFile(std::string field, PostedFile file);

  int32_t Count() const { return static_cast<int32_t>(fields_.size()); }
  std::string Key(int32_t index) const;  // 1-based
  ObjectPtr Item(const std::string& name) const;

  const std::vector<std::pair<std::string, std::vector<std::string>>>& fields() const {
    return fields_;
  }
  // Values of a field, nullptr when the form has no such field.
  const std::vector<std::string>* Find(const std::string& name) const;
  const PostedFile* FindFile(const std::string& field) const;

 private:
  std::vector<std::pair<std::string, std::vector<std::string>>> fields_;
  std::unordered_map<std::string, size_t> by_lower_name_;  // first field of each name
  std::vector<std::pair<std::string, PostedFile>> files_;
};

}  // namespace quorvan::web
