#include "platform/automation/numeric_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvan {
namespace {

__extension__ typedef unsigned __int128 Uint128;
__extension__ typedef __int128 Int128;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "&H..." or "&O...": the value reduced to 16 bits when it fits there, else to 32 bits.
std::optional<int64_t> ParseRadixText(std::string_view text) {
  if (text.size() < 3 || text[0] != '&') return std::nullopt;
  const char marker = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
  const int radix = marker == 'H' ? 16 : marker == 'O' ? 8 : 0;
  if (radix == 0) return std::nullopt;
  uint64_t value = 0;
  for (char c : text.substr(2)) {
    const int digit =
        std::isxdigit(static_cast<unsigned char>(c))
            ? (IsDigit(c) ? c - '0' : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10)
            : 99;
    if (digit >= radix) return std::nullopt;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string StripLeadingZeros(std::string digits) {
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string() : digits.substr(first);
}

}  // namespace

std::optional<NumericText> NumericText::Parse(std::string_view text) {
  text = TrimBlanks(text);
  NumericText number;
  if (auto radix = ParseRadixText(text)) {
    number.negative_ = *radix < 0;
    number.digits_ = StripLeadingZeros(std::to_string(std::llabs(*radix)));
    return number;
  }
  size_t pos = 0;
  auto take = [&](char c) {
    if (pos < text.size() && text[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  };
  auto skip_blanks = [&] {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
  };
  take('$');
  if (take('-')) {
    number.negative_ = true;
  } else {
    take('+');
  }
  skip_blanks();
  take('$');
  std::string digits;
  bool any_digit = false;
  while (pos < text.size()) {
    if (IsDigit(text[pos])) {
      digits += text[pos++];
      any_digit = true;
    } else if (text[pos] == ',' && any_digit && pos + 1 < text.size() && IsDigit(text[pos + 1])) {
      ++pos;
    } else {
      break;
    }
  }
  int exponent = 0;
  if (take('.')) {
    while (pos < text.size() && IsDigit(text[pos])) {
      digits += text[pos++];
      --exponent;
      any_digit = true;
    }
  }
  if (!any_digit) return std::nullopt;
  if (pos < text.size() &&
      (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
    ++pos;
    bool exponent_negative = false;
    if (take('-')) {
      exponent_negative = true;
    } else {
      take('+');
    }
    if (pos >= text.size() || !IsDigit(text[pos])) return std::nullopt;
    int written = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
      if (written < 100000) written = written * 10 + (text[pos] - '0');
      ++pos;
    }
    exponent += exponent_negative ? -written : written;
  }
  if (pos != text.size()) return std::nullopt;
  number.digits_ = StripLeadingZeros(std::move(digits));
  number.exponent_ = exponent;
  return number;
}

double NumericText::ToDouble() const {
  if (digits_.empty()) return 0.0;
  const std::string text = (negative_ ? "-" : "") + digits_ + "e" + std::to_string(exponent_);
  return std::strtod(text.c_str(), nullptr);
}

std::optional<int64_t> NumericText::ToScaled(int scale) const {
  if (digits_.empty()) return 0;
  const int shift = exponent_ + scale;
  std::string whole = digits_;
  std::string dropped;
  if (shift >= 0) {
    if (shift > 19) return std::nullopt;
    whole.append(static_cast<size_t>(shift), '0');
  } else {
    const size_t cut = static_cast<size_t>(-shift);
    if (cut >= whole.size()) {
      dropped = std::string(cut - whole.size(), '0') + whole;
      whole.clear();
    } else {
      dropped = whole.substr(whole.size() - cut);
      whole.resize(whole.size() - cut);
    }
  }
  whole = StripLeadingZeros(whole);
  if (whole.size() > 19) return std::nullopt;
  Uint128 magnitude = 0;
  for (char c : whole) magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
  if (!dropped.empty()) {
    const char first = dropped[0];
    const bool rest_nonzero = dropped.find_first_not_of('0', 1) != std::string::npos;
    const bool odd = magnitude % 2 == 1;
    if (first > '5' || (first == '5' && (rest_nonzero || odd))) magnitude += 1;
  }
  const Uint128 limit = negative_ ? static_cast<Uint128>(INT64_MAX) + 1 : INT64_MAX;
  if (magnitude > limit) return std::nullopt;
  return negative_ ? static_cast<int64_t>(-static_cast<Int128>(magnitude))
                   : static_cast<int64_t>(magnitude);
}

std::string FormatAutomationNumber(double value, int significant) {
  if (value == 0.0) return "0";
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
  // buffer: [-]d.ddddde[+-]xx
  std::string text(buffer);
  const bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  const size_t e_pos = text.find('e');
  const int exponent = std::atoi(text.c_str() + e_pos + 1);
  std::string digits = text.substr(0, 1) + text.substr(2, e_pos - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int digit_count = static_cast<int>(digits.size());
  std::string out = negative ? "-" : "";
  const bool plain =
      exponent < significant && (exponent >= 0 || digit_count - 1 - exponent <= significant);
  if (!plain) {
    out += digits.substr(0, 1);
    if (digit_count > 1) out += "." + digits.substr(1);
    char exponent_text[16];
    std::snprintf(exponent_text, sizeof exponent_text, "E%c%02d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return out + exponent_text;
  }
  if (exponent >= 0) {
    const auto integer_digits = static_cast<size_t>(exponent + 1);
    if (digits.size() <= integer_digits) {
      out += digits + std::string(integer_digits - digits.size(), '0');
    } else {
      out += digits.substr(0, integer_digits) + "." + digits.substr(integer_digits);
    }
    return out;
  }
  return out + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
}

std::string FormatCurrencyFixed(int64_t scaled) {
  const bool negative = scaled < 0;
  const Uint128 magnitude =
      negative ? static_cast<Uint128>(-static_cast<Int128>(scaled)) : static_cast<Uint128>(scaled);
  const auto whole = static_cast<uint64_t>(magnitude / 10000);
  const auto fraction = static_cast<unsigned>(magnitude % 10000);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%s%llu.%04u", negative ? "-" : "",
                static_cast<unsigned long long>(whole), fraction);
  return buffer;
}

std::string FormatCurrencyText(int64_t scaled) {
  std::string text = FormatCurrencyFixed(scaled);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace quorvan
