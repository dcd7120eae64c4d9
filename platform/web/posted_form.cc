#include "platform/web/posted_form.h"

#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/error_record.h"

namespace quorvan::web {

const ClassInfo& FormField::Info() {
  static const ClassInfo info = ClassBuilder<FormField>("Web.FormField")
                                    .Get<&FormField::Count>("Count")
                                    .Get<&FormField::Item>("Item", {In("Index")})
                                    .Build();
  return info;
}

std::string FormField::Item(int32_t index) const {
  if (index < 1 || index > Count()) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  return values_[static_cast<size_t>(index - 1)];
}

const ClassInfo& PostedForm::Info() {
  static const ClassInfo info = ClassBuilder<PostedForm>("Web.PostedForm")
                                    .Get<&PostedForm::Count>("Count")
                                    .Get<&PostedForm::Key>("Key", {In("Index")})
                                    .Get<&PostedForm::Item>("Item", {In("Name")})
                                    .Build();
  return info;
}

void PostedForm::AddField(std::string name, std::vector<std::string> values) {
  by_lower_name_.emplace(LowerAscii(name), fields_.size());
  fields_.emplace_back(std::move(name), std::move(values));
}

void PostedForm::AddFile(std::string field, PostedFile file) {
  files_.emplace_back(std::move(field), std::move(file));
}

std::string PostedForm::Key(int32_t index) const {
  if (index < 1 || index > Count()) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  return fields_[static_cast<size_t>(index - 1)].first;
}

const std::vector<std::string>* PostedForm::Find(const std::string& name) const {
  const auto found = by_lower_name_.find(LowerAscii(name));
  return found == by_lower_name_.end() ? nullptr : &fields_[found->second].second;
}

ObjectPtr PostedForm::Item(const std::string& name) const {
  const auto* values = Find(name);
  return std::make_shared<FormField>(values ? *values : std::vector<std::string>{});
}

const PostedFile* PostedForm::FindFile(const std::string& field) const {
  for (const auto& [name, file] : files_) {
    if (EqualsIgnoringCase(name, field)) return &file;
  }
  return nullptr;
}

}  // namespace quorvan::web
