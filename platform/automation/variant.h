// Variant: the automation value that crosses every public interface.
//
// Types (VarType codes as automation numbers them): Empty 0, Null 1, Integer 2 (16-bit),
// Long 3 (32-bit), Single 4, Double 5, Currency 6 (64-bit scaled by 10,000), Date 7 (double,
// days since 1899-12-30 00:00, local time), String 8 (UTF-8), Object 9 (possibly Nothing),
// Error 10 (only the "missing" marker is used), Boolean 11, Byte 17, and arrays of Variants
// (one or two dimensions, any lower bounds).
//
// Conversion rules (To* members):
// - Empty converts to 0, "", False, the date 0. Null converts to nothing: error 94.
// - The missing marker, arrays, objects and Nothing convert to no scalar: error 13.
// - Numbers to integers round half to even before the range check: ToInteger(32767.5) is error
//   6, ToInteger(-32768.5) is -32768. Out of range is error 6 "Overflow".
// - Text to number: the whole text must parse after leading/trailing spaces and tabs are
//   dropped. Accepted: one sign (blanks may follow it), thousands separators ",", one decimal
//   point, an exponent, a leading "$", and "&H"/"&O" hexadecimal and octal. A hexadecimal or
//   octal text of up to 16 bits is a 16-bit two's-complement value and up to 32 bits a 32-bit
//   one, whatever the target ("&HFFFF" is -1 as Integer, Long and Double alike). Anything else,
//   "" included, is error 13. "0x10" is not hexadecimal; a leading zero is not octal.
// - Boolean: True is -1 (255 as Byte); any non-zero number is True. Text "True"/"False" in any
//   case, "#TRUE#"/"#FALSE#", or a numeric text; "" is error 13.
// - Dates: range 100-01-01 (-657434) to 9999-12-31 (2958465), error 6 outside. Text to date
//   tries a number first, then "yyyy-m-d", "m/d/yyyy", "d-Mon-yyyy" (two-digit years below 30
//   are 20xx), each optionally followed by a time "h:mm[:ss] [AM|PM]"; "yyyy-mm-ddThh:mm:ss" too.
// - Number to text: Long and Integer in decimal; Double with up to 15 significant digits, in
//   plain notation when the value fits within 15 digits after the point and its exponent is
//   below 15, otherwise "1E+20"/"1.5E-16"; Single with 7 digits; negative zero prints "0";
//   Currency with up to 4 decimals, trailing zeros dropped; Boolean "True"/"False".
// - Date to text uses one invariant form, "M/D/YYYY h:mm:ss AM" as en-US shows it; a date
//   part of 0 gives the time only, a time part of 0 the date only.
//
// A Variant holding an array owns it: copying the Variant copies the array (value semantics).
// Objects are shared references. Not thread-safe; a Variant belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace quorvan {

class Object;
class SafeArray;
using ObjectPtr = std::shared_ptr<Object>;

enum class VarType : uint16_t {
  kEmpty = 0,
  kNull = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7,
  kString = 8,
  kObject = 9,
  kError = 10,
  kBoolean = 11,
  kVariant = 12,  // only as a declared parameter type: "any"
  kByte = 17,
  kArray = 0x2000,  // an array of Variants (VarType 8204 as automation reports it)
};

// 64-bit integer scaled by 10,000, as automation's currency.
struct Currency {
  int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};

// The error code carried by the "missing" marker of an omitted optional argument.
inline constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004u);

class Variant {
 public:
  Variant() noexcept {}
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(int16_t value) noexcept;
  Variant(int32_t value) noexcept;
  Variant(double value) noexcept;
  Variant(bool value) noexcept;
  Variant(const char* value);
  Variant(std::string value) noexcept;
  Variant(std::string_view value);
  Variant(ObjectPtr object) noexcept;
  Variant(Currency value) noexcept;
  template <class T>
  requires(!std::is_same_v<T, Object> && std::is_convertible_v<T*, Object*>)
      Variant(std::shared_ptr<T> object)
  noexcept : Variant(ObjectPtr(std::move(object))) {}

  static Variant Null();
  static Variant Missing();
  static Variant Nothing();
  static Variant FromSingle(float value);
  static Variant FromByte(uint8_t value);
  static Variant FromDate(double serial);
  static Variant FromError(int32_t code);
  static Variant FromArray(SafeArray array);

  VarType type() const noexcept { return type_; }
  bool IsEmpty() const noexcept { return type_ == VarType::kEmpty; }
  bool IsNull() const noexcept { return type_ == VarType::kNull; }
  bool IsMissing() const noexcept;
  bool IsArray() const noexcept { return type_ == VarType::kArray; }
  bool IsObject() const noexcept { return type_ == VarType::kObject; }
  bool IsString() const noexcept { return type_ == VarType::kString; }
  bool IsNumeric() const;  // as IsNumeric: converts to Double; Empty true; Null, "", dates false

  // Conversions by the rules above; each raises error 13, 6 or 94 on failure.
  int16_t ToInteger() const;
  int32_t ToLong() const;
  uint8_t ToByte() const;
  float ToSingle() const;
  double ToDouble() const;
  Currency ToCurrency() const;
  double ToDate() const;
  bool ToBool() const;
  std::string ToString() const;
  // The object, or error 424 (object required) when this holds no object; Nothing gives null.
  ObjectPtr ToObject() const;
  // Converts to the given type (a declared parameter type); kVariant returns a copy.
  Variant ConvertTo(VarType target) const;

  // Direct access; the caller has checked the type.
  const std::string& string_ref() const noexcept { return string_; }
  const ObjectPtr& object_ref() const noexcept { return object_; }
  const SafeArray& array() const;  // error 13 unless an array
  SafeArray& array();
  int32_t long_value() const noexcept { return value_.i4; }
  int16_t integer_value() const noexcept { return value_.i2; }
  double double_value() const noexcept { return value_.r8; }
  double date_value() const noexcept { return value_.r8; }
  float single_value() const noexcept { return value_.r4; }
  bool bool_value() const noexcept { return value_.b; }
  uint8_t byte_value() const noexcept { return value_.ui1; }
  int32_t error_value() const noexcept { return value_.i4; }
  Currency currency_value() const noexcept { return Currency{value_.cy}; }

  // The run-time type name: "Empty", "Null", "Integer", "Long", "Single", "Double",
  // "Currency", "Date", "String", "Boolean", "Byte", "Error", "Nothing", the class name of an
  // object, or "Variant()" for an array.
  std::string TypeName() const;

  // Same type and same value; arrays element by element, objects by identity.
  bool operator==(const Variant& other) const;

 private:
  void Reset() noexcept;
  void CopyFrom(const Variant& other);
  void MoveFrom(Variant&& other) noexcept;
  double NumberForConversion() const;

  VarType type_ = VarType::kEmpty;
  union {
    int16_t i2;
    int32_t i4;
    float r4;
    double r8;
    int64_t cy;
    bool b;
    uint8_t ui1;
  } value_{};
  std::string string_;
  ObjectPtr object_;
  struct ArrayDeleter {
    void operator()(SafeArray* array) const noexcept;
  };
  std::unique_ptr<SafeArray, ArrayDeleter> array_;
};

// For diagnostics and test output: type name and text form, never throws.
std::ostream& operator<<(std::ostream& out, const Variant& value);

}  // namespace quorvan
