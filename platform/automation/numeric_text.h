// Numbers as automation writes and reads them in text: the parser behind text-to-number
// conversions and the formatter behind number-to-text. Invariant (en-US) separators.
// Stateless, thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvan {

// A number read from text: exact decimal digits and a power of ten, or a hexadecimal/octal
// value already reduced to 16 or 32 bits.
class NumericText {
 public:
  // nullopt when the text is not a number under the rules of variant.h.
  static std::optional<NumericText> Parse(std::string_view text);

  double ToDouble() const;
  // The value times 10^scale, rounded half to even; nullopt when it does not fit 64 bits.
  std::optional<int64_t> ToScaled(int scale) const;

 private:
  bool negative_ = false;
  std::string digits_;  // no leading zeros; empty means 0
  int exponent_ = 0;    // value = digits_ * 10^exponent_
};

// Up to `significant` significant digits, plain notation when it fits within that many digits
// after the point and the decimal exponent is below `significant`, otherwise "1.5E+20".
std::string FormatAutomationNumber(double value, int significant);

// Up to 4 decimals, trailing zeros dropped.
std::string FormatCurrencyText(int64_t scaled);

// Exactly 4 decimals ("12.3400"), as the JSON form writes currency.
std::string FormatCurrencyFixed(int64_t scaled);

}  // namespace quorvan
