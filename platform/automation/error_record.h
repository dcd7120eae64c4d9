// The five-field error record that every failure carries to its caller, the exception that
// transports it, and the runtime's own error numbers with their texts.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quorvan {

// What a caller receives for any failure. Number 0 means "no error".
struct ErrorRecord {
  int32_t number = 0;
  std::string source;
  std::string description;
  std::string help_file;
  int32_t help_context = 0;

  bool operator==(const ErrorRecord&) const = default;
};

// Runtime error numbers raised by the platform itself (not the system's own errors, which lie
// above 0x80040400).
namespace runtime_error {
inline constexpr int32_t kInvalidProcedureCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kInternalError = 51;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kFileAlreadyExists = 58;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidUseOfNull = 94;
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kCannotCreateObject = 429;
inline constexpr int32_t kMemberNotSupported = 438;
inline constexpr int32_t kWrongNumberOfArguments = 450;
inline constexpr int32_t kKeyAlreadyExists = 457;
inline constexpr int32_t kAutomationError = 440;
}  // namespace runtime_error

// The standard description of a runtime error number ("Type mismatch"); "Application-defined
// or object-defined error" for numbers the table does not know.
std::string RuntimeErrorText(int32_t number);

// The exception every failure travels as. Thrown by value, caught by const reference.
class AutomationError : public std::exception {
 public:
  explicit AutomationError(ErrorRecord record);
  const ErrorRecord& record() const noexcept { return record_; }
  const char* what() const noexcept override { return record_.description.c_str(); }

 private:
  ErrorRecord record_;
};

// The source of errors the runtime raises while binding a call or creating an object, outside
// any component.
inline constexpr const char* kRuntimeSource = "Quorvan runtime";

// Raises a runtime error: the standard text with optional detail appended after ": ". The
// source is empty unless given: inside a component, the handling method's guard names the
// module.
[[noreturn]] void RaiseRuntimeError(int32_t number, const std::string& detail = {},
                                    const std::string& source = {});

// Raises an error with the given fields, as a component raises its own errors.
[[noreturn]] void RaiseError(int32_t number, std::string source, std::string description);

}  // namespace quorvan
