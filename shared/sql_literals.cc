#include "shared/sql_literals.h"

#include "platform/automation/class_registry.h"
#include "shared/general.h"

namespace quorvan::shared {
namespace {

Object& ThreadFormatter() {
  thread_local ObjectPtr formatter;
  if (!formatter) formatter = CreateObject("VexaLibrary.Utilities");
  return *formatter;
}

std::string Formatted(const char* member, const Variant& value) {
  Variant args[] = {value};
  return ThreadFormatter().Invoke(member, args).ToString();
}

}  // namespace

std::string FormatString(const Variant& value) { return Formatted("FormatString", value); }
std::string FormatLong(const Variant& value) { return Formatted("FormatLong", value); }
std::string FormatDouble(const Variant& value) { return Formatted("FormatDouble", value); }
std::string FormatDate(const Variant& value) { return Formatted("FormatDate", value); }

TextBuilder::TextBuilder() : builder_(GetComponent("QuorvanUtility.String").ToObject()) {}

TextBuilder& TextBuilder::Add(const std::string& piece) {
  Variant args[] = {Variant(piece)};
  builder_->Invoke("Add", args);
  return *this;
}

std::string TextBuilder::Value() const { return builder_->GetProperty("Value").ToString(); }

void TextBuilder::Reset() { builder_->Invoke("Reset"); }

}  // namespace quorvan::shared
