// Error capture, logging and re-raise: the routine every method hands its failures to.
//
// Layout of a handled error's description (FormatErrorMessage), CR LF line breaks:
//   "\r\nERROR 0x" HEX "\r\n METHOD: " source "\r\n DESC: " description ".\r\n"
//   [" INFO: " info ".\r\n"]            only when info was passed, even as ""
// HEX is the upper-case hexadecimal of the number's 32-bit two's complement, no leading zeros.
//
// The system's own errors are numbered above GetErrorNumberBase() (0x80040400) and raised with
// an empty source, which CaptureError replaces by the application identifier.
// All state is the calling thread's current error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/automation/error_record.h"
#include "platform/automation/variant.h"

namespace quorvan::shared {

// An info argument: nullopt when the caller did not pass one.
using ErrorInfo = std::optional<Variant>;

inline constexpr int32_t kErrorNumberBase = static_cast<int32_t>(0x80040400u);

std::string FormatErrorMessage(const std::string& description, int32_t number,
                               const std::string& source, const ErrorInfo& info = std::nullopt);

// The current error laid out for `source`; an empty source becomes "Tesmik - Ardwynet".
// An info value without a text form (Null) raises error 94.
ErrorRecord CaptureError(const std::string& source, const ErrorInfo& info = std::nullopt);

// Writes the current error to the host log through "Solvagen.Log"; failures propagate.
void LogError(const std::string& source, const ErrorInfo& info = std::nullopt);

// With no error current: returns. Otherwise makes the laid-out record current, logs it
// (ignoring any failure of the log) and throws it as AutomationError.
void HandleError(const std::string& source, const ErrorInfo& info = std::nullopt);

int32_t GetErrorNumberBase();

}  // namespace quorvan::shared
