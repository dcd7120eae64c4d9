#include "shared/error_handler.h"

#include <cstdio>

#include "platform/automation/current_error.h"
#include "shared/general.h"

namespace quorvan::shared {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string Hex(int32_t number) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<uint32_t>(number));
  return buffer;
}

}  // namespace

std::string FormatErrorMessage(const std::string& description, int32_t number,
                               const std::string& source, const ErrorInfo& info) {
  std::string text;
  text.reserve(description.size() + source.size() + 64);
  text += kCrLf;
  text += "ERROR 0x" + Hex(number) + kCrLf;
  text += " METHOD: " + source + kCrLf;
  text += " DESC: " + description + "." + kCrLf;
  if (info) text += " INFO: " + info->ToString() + "." + kCrLf;
  return text;
}

ErrorRecord CaptureError(const std::string& source, const ErrorInfo& info) {
  const ErrorRecord& current = CurrentError();
  ErrorRecord record = current;
  if (record.source.empty()) record.source = GetApplicationIdentifier();
  record.description = FormatErrorMessage(current.description, current.number, source, info);
  return record;
}

void LogError(const std::string& source, const ErrorInfo& info) {
  const ErrorRecord& current = CurrentError();
  Variant log_source(current.source);
  Variant message(FormatErrorMessage(current.description, current.number, source, info));
  Variant level(0);
  ObjectPtr log = GetComponent("Solvagen.Log").ToObject();
  if (!log) RaiseRuntimeError(runtime_error::kObjectNotSet);
  Variant args[] = {std::move(log_source), std::move(message), std::move(level)};
  log->Invoke("WriteEntry", args);
}

void HandleError(const std::string& source, const ErrorInfo& info) {
  ErrorRecord record = CaptureError(source, info);
  if (record.number == 0) return;
  try {
    CurrentError() = record;
    LogError(source, info);
  } catch (...) {
    // A failing log never hides the error being reported.
    CurrentError() = record;
  }
  throw AutomationError(std::move(record));
}

int32_t GetErrorNumberBase() { return kErrorNumberBase; }

}  // namespace quorvan::shared
