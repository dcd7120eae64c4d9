// The SQL literal formatter of the calling thread ("VexaLibrary.Utilities"), created on first
// use and kept for the thread's life, as the general and transactional classes share it; and
// the string builder ("QuorvanUtility.String") that long statements are assembled with.
#pragma once

#include <string>

#include "platform/automation/object.h"
#include "platform/automation/variant.h"

namespace quorvan::shared {

std::string FormatString(const Variant& value);
std::string FormatLong(const Variant& value);
std::string FormatDouble(const Variant& value);
std::string FormatDate(const Variant& value);

// A string builder created through GetComponent; Add/Value/Reset call it by name.
class TextBuilder {
 public:
  TextBuilder();
  TextBuilder& Add(const std::string& piece);
  std::string Value() const;
  void Reset();

 private:
  ObjectPtr builder_;
};

}  // namespace quorvan::shared
