#include "tools/quorvan/command_line.h"

#include <cstdio>

#include "platform/json/variant_json.h"

namespace quorvan::tool {

const std::string& Arguments::Peek() const { return args_.at(next_); }

std::string Arguments::Take(const char* what) {
  if (Empty()) throw UsageError(std::string("missing ") + what);
  return args_[next_++];
}

bool Arguments::TakeFlag(const char* flag) {
  if (!Empty() && args_[next_] == flag) {
    ++next_;
    return true;
  }
  return false;
}

bool Arguments::WantsHelp() const {
  for (size_t i = next_; i < args_.size(); ++i) {
    if (args_[i] == "--help" || args_[i] == "-h") return true;
  }
  return false;
}

void Arguments::ExpectEnd() const {
  if (!Empty()) throw UsageError("unexpected argument '" + Peek() + "'");
}

std::string ErrorFields(const ErrorRecord& record) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<uint32_t>(record.number));
  return "{\"number\": " + std::to_string(record.number) + ", \"hex\": \"" + hex +
         "\", \"source\": " + json::QuoteJson(record.source) +
         ", \"description\": " + json::QuoteJson(record.description) +
         ", \"helpFile\": " + json::QuoteJson(record.help_file) +
         ", \"helpContext\": " + std::to_string(record.help_context) + "}";
}

std::string ErrorDocument(const ErrorRecord& record) {
  return "{\"error\": " + ErrorFields(record) + "}";
}

}  // namespace quorvan::tool
