#include "host/vexa_library/utilities.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/config/host_call.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/numeric_text.h"

namespace quorvan::host {
namespace {

constexpr const char* kSource = "VexaLibrary.Utilities";
constexpr const char* kNull = "NULL";

std::string QuotedText(const Variant& value) {
  if (value.IsNull()) return kNull;
  const std::string text = value.ToString();
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += '\'';
  for (char c : text) {
    if (c == '\0') {
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "text holds a NUL character");
    }
    if (c == '\'') literal += '\'';
    literal += c;
  }
  literal += '\'';
  return literal;
}

template <class Format>
std::string Formatted(const Variant& value, Format format) {
  return HostCall(kSource, [&] { return value.IsNull() ? std::string(kNull) : format(); });
}

}  // namespace

const ClassInfo& Utilities::Info() {
  static const ClassInfo info =
      ClassBuilder<Utilities>("VexaLibrary.Utilities")
          .Method<&Utilities::FormatInsertString>("FormatInsertString", {In("Value")})
          .Method<&Utilities::FormatString>("FormatString", {In("Value")})
          .Method<&Utilities::FormatInteger>("FormatInteger", {In("Value")})
          .Method<&Utilities::FormatLong>("FormatLong", {In("Value")})
          .Method<&Utilities::FormatDouble>("FormatDouble", {In("Value")})
          .Method<&Utilities::FormatCurrency>("FormatCurrency", {In("Value")})
          .Method<&Utilities::FormatDate>("FormatDate", {In("Value")})
          .Build();
  return info;
}

std::string Utilities::FormatInsertString(const Variant& value) const {
  return HostCall(kSource, [&] { return QuotedText(value); });
}

std::string Utilities::FormatString(const Variant& value) const {
  return HostCall(kSource, [&] { return QuotedText(value); });
}

std::string Utilities::FormatInteger(const Variant& value) const {
  return Formatted(value, [&] { return std::to_string(value.ToInteger()); });
}

std::string Utilities::FormatLong(const Variant& value) const {
  return Formatted(value, [&] { return std::to_string(value.ToLong()); });
}

std::string Utilities::FormatDouble(const Variant& value) const {
  return Formatted(value, [&] {
    const double number = value.ToDouble();
    if (!std::isfinite(number)) RaiseRuntimeError(runtime_error::kOverflow);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number + 0.0);
    return std::string(buffer, result.ptr);
  });
}

std::string Utilities::FormatCurrency(const Variant& value) const {
  return Formatted(value, [&] { return FormatCurrencyFixed(value.ToCurrency().scaled); });
}

std::string Utilities::FormatDate(const Variant& value) const {
  return Formatted(value, [&] {
    const CivilDateTime c = FromDateSerial(std::round(value.ToDate() * 86400.0) / 86400.0);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "'%04d-%02d-%02d %02d:%02d:%02d'", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    return std::string(buffer);
  });
}

}  // namespace quorvan::host
