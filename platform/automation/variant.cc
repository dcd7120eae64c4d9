#include "platform/automation/variant.h"

#include <cfenv>
#include <cmath>
#include <ostream>
#include <utility>

#include "platform/automation/automation_date.h"
#include "platform/automation/error_record.h"
#include "platform/automation/numeric_text.h"
#include "platform/automation/object.h"
#include "platform/automation/safe_array.h"

namespace quorvan {
namespace {

[[noreturn]] void TypeMismatch() { RaiseRuntimeError(runtime_error::kTypeMismatch); }
[[noreturn]] void Overflow() { RaiseRuntimeError(runtime_error::kOverflow); }

// Round half to even, as every automation number-to-integer conversion does.
double RoundHalfEven(double value) {
  const double rounded = std::nearbyint(value);  // default rounding mode: to nearest, ties even
  return rounded;
}

template <class Int>
Int RoundedInRange(double value) {
  if (!std::isfinite(value)) Overflow();
  const double rounded = RoundHalfEven(value);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    Overflow();
  }
  return static_cast<Int>(rounded);
}

std::optional<bool> BoolFromText(const std::string& text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "true" || lower == "#true#") return true;
  if (lower == "false" || lower == "#false#") return false;
  return std::nullopt;
}

}  // namespace

void Variant::ArrayDeleter::operator()(SafeArray* array) const noexcept { delete array; }

Variant::Variant(const Variant& other) { CopyFrom(other); }
Variant::Variant(Variant&& other) noexcept { MoveFrom(std::move(other)); }

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    Reset();
    MoveFrom(std::move(copy));
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Reset();
    MoveFrom(std::move(other));
  }
  return *this;
}

Variant::~Variant() = default;

Variant::Variant(int16_t value) noexcept : type_(VarType::kInteger) { value_.i2 = value; }
Variant::Variant(int32_t value) noexcept : type_(VarType::kLong) { value_.i4 = value; }
Variant::Variant(double value) noexcept : type_(VarType::kDouble) { value_.r8 = value; }
Variant::Variant(bool value) noexcept : type_(VarType::kBoolean) { value_.b = value; }
Variant::Variant(const char* value) : type_(VarType::kString), string_(value) {}
Variant::Variant(std::string value) noexcept : type_(VarType::kString), string_(std::move(value)) {}
Variant::Variant(std::string_view value) : type_(VarType::kString), string_(value) {}
Variant::Variant(ObjectPtr object) noexcept : type_(VarType::kObject), object_(std::move(object)) {}
Variant::Variant(Currency value) noexcept : type_(VarType::kCurrency) { value_.cy = value.scaled; }

Variant Variant::Null() {
  Variant v;
  v.type_ = VarType::kNull;
  return v;
}

Variant Variant::Missing() { return FromError(kParamNotFound); }

Variant Variant::Nothing() { return Variant(ObjectPtr()); }

Variant Variant::FromSingle(float value) {
  Variant v;
  v.type_ = VarType::kSingle;
  v.value_.r4 = value;
  return v;
}

Variant Variant::FromByte(uint8_t value) {
  Variant v;
  v.type_ = VarType::kByte;
  v.value_.ui1 = value;
  return v;
}

Variant Variant::FromDate(double serial) {
  if (!IsValidDateSerial(serial)) Overflow();
  Variant v;
  v.type_ = VarType::kDate;
  v.value_.r8 = serial;
  return v;
}

Variant Variant::FromError(int32_t code) {
  Variant v;
  v.type_ = VarType::kError;
  v.value_.i4 = code;
  return v;
}

Variant Variant::FromArray(SafeArray array) {
  Variant v;
  v.type_ = VarType::kArray;
  v.array_.reset(new SafeArray(std::move(array)));
  return v;
}

void Variant::Reset() noexcept {
  string_.clear();
  object_.reset();
  array_.reset();
  type_ = VarType::kEmpty;
  value_.cy = 0;
}

void Variant::CopyFrom(const Variant& other) {
  type_ = other.type_;
  value_ = other.value_;
  string_ = other.string_;
  object_ = other.object_;
  if (other.array_) array_.reset(new SafeArray(*other.array_));
}

void Variant::MoveFrom(Variant&& other) noexcept {
  type_ = other.type_;
  value_ = other.value_;
  string_ = std::move(other.string_);
  object_ = std::move(other.object_);
  array_ = std::move(other.array_);
  other.type_ = VarType::kEmpty;
}

bool Variant::IsMissing() const noexcept {
  return type_ == VarType::kError && value_.i4 == kParamNotFound;
}

bool Variant::IsNumeric() const {
  switch (type_) {
    case VarType::kEmpty:
    case VarType::kInteger:
    case VarType::kLong:
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kCurrency:
    case VarType::kBoolean:
    case VarType::kByte:
      return true;
    case VarType::kString:
      return NumericText::Parse(string_).has_value();
    default:
      return false;
  }
}

// The value as a double for a numeric conversion; raises for what has no number.
double Variant::NumberForConversion() const {
  switch (type_) {
    case VarType::kEmpty:
      return 0.0;
    case VarType::kNull:
      RaiseRuntimeError(runtime_error::kInvalidUseOfNull);
    case VarType::kInteger:
      return value_.i2;
    case VarType::kLong:
      return value_.i4;
    case VarType::kSingle:
      return value_.r4;
    case VarType::kDouble:
    case VarType::kDate:
      return value_.r8;
    case VarType::kCurrency:
      return static_cast<double>(value_.cy) / 10000.0;
    case VarType::kBoolean:
      return value_.b ? -1.0 : 0.0;
    case VarType::kByte:
      return value_.ui1;
    case VarType::kString: {
      const auto number = NumericText::Parse(string_);
      if (!number) TypeMismatch();
      return number->ToDouble();
    }
    default:
      TypeMismatch();
  }
}

int16_t Variant::ToInteger() const {
  if (type_ == VarType::kInteger) return value_.i2;
  return RoundedInRange<int16_t>(NumberForConversion());
}

int32_t Variant::ToLong() const {
  if (type_ == VarType::kLong) return value_.i4;
  if (type_ == VarType::kCurrency) {
    // Exact: round the scaled value half to even without going through a double.
    const int64_t whole = value_.cy / 10000;
    const int64_t rest = value_.cy % 10000;
    int64_t rounded = whole;
    if (std::llabs(rest) > 5000 || (std::llabs(rest) == 5000 && whole % 2 != 0)) {
      rounded += rest > 0 ? 1 : -1;
    }
    if (rounded < INT32_MIN || rounded > INT32_MAX) Overflow();
    return static_cast<int32_t>(rounded);
  }
  return RoundedInRange<int32_t>(NumberForConversion());
}

uint8_t Variant::ToByte() const {
  if (type_ == VarType::kByte) return value_.ui1;
  if (type_ == VarType::kBoolean) return value_.b ? 255 : 0;
  return RoundedInRange<uint8_t>(NumberForConversion());
}

float Variant::ToSingle() const {
  if (type_ == VarType::kSingle) return value_.r4;
  const double value = NumberForConversion();
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) Overflow();
  return static_cast<float>(value);
}

double Variant::ToDouble() const {
  if (type_ == VarType::kDouble) return value_.r8;
  return NumberForConversion();
}

Currency Variant::ToCurrency() const {
  switch (type_) {
    case VarType::kCurrency:
      return Currency{value_.cy};
    case VarType::kString: {
      const auto number = NumericText::Parse(string_);
      if (!number) TypeMismatch();
      const auto scaled = number->ToScaled(4);
      if (!scaled) Overflow();
      return Currency{*scaled};
    }
    default: {
      const double scaled = RoundHalfEven(NumberForConversion() * 10000.0);
      if (!std::isfinite(scaled) || scaled < -9.2233720368547758e18 ||
          scaled >= 9.2233720368547758e18) {
        Overflow();
      }
      return Currency{static_cast<int64_t>(scaled)};
    }
  }
}

double Variant::ToDate() const {
  double serial = 0.0;
  if (type_ == VarType::kDate) return value_.r8;
  if (type_ == VarType::kString) {
    if (const auto number = NumericText::Parse(string_)) {
      serial = number->ToDouble();
    } else if (const auto date = ParseDateText(string_)) {
      serial = *date;
    } else {
      TypeMismatch();
    }
  } else {
    serial = NumberForConversion();
  }
  if (!IsValidDateSerial(serial)) Overflow();
  return serial;
}

bool Variant::ToBool() const {
  switch (type_) {
    case VarType::kBoolean:
      return value_.b;
    case VarType::kString: {
      if (const auto flag = BoolFromText(string_)) return *flag;
      const auto number = NumericText::Parse(string_);
      if (!number) TypeMismatch();
      return number->ToDouble() != 0.0;
    }
    default:
      return NumberForConversion() != 0.0;
  }
}

std::string Variant::ToString() const {
  switch (type_) {
    case VarType::kEmpty:
      return std::string();
    case VarType::kNull:
      RaiseRuntimeError(runtime_error::kInvalidUseOfNull);
    case VarType::kInteger:
      return std::to_string(value_.i2);
    case VarType::kLong:
      return std::to_string(value_.i4);
    case VarType::kSingle:
      return FormatAutomationNumber(value_.r4, 7);
    case VarType::kDouble:
      return FormatAutomationNumber(value_.r8, 15);
    case VarType::kCurrency:
      return FormatCurrencyText(value_.cy);
    case VarType::kDate:
      return FormatDateText(value_.r8);
    case VarType::kString:
      return string_;
    case VarType::kBoolean:
      return value_.b ? "True" : "False";
    case VarType::kByte:
      return std::to_string(value_.ui1);
    default:
      TypeMismatch();
  }
}

ObjectPtr Variant::ToObject() const {
  if (type_ != VarType::kObject) RaiseRuntimeError(runtime_error::kObjectRequired);
  return object_;
}

Variant Variant::ConvertTo(VarType target) const {
  switch (target) {
    case VarType::kVariant:
      return *this;
    case VarType::kInteger:
      return Variant(ToInteger());
    case VarType::kLong:
      return Variant(ToLong());
    case VarType::kSingle:
      return FromSingle(ToSingle());
    case VarType::kDouble:
      return Variant(ToDouble());
    case VarType::kCurrency:
      return Variant(ToCurrency());
    case VarType::kDate:
      return FromDate(ToDate());
    case VarType::kString:
      return Variant(ToString());
    case VarType::kBoolean:
      return Variant(ToBool());
    case VarType::kByte:
      return FromByte(ToByte());
    case VarType::kObject:
      return Variant(ToObject());
    case VarType::kArray:
      if (!IsArray()) TypeMismatch();
      return *this;
    default:
      TypeMismatch();
  }
}

const SafeArray& Variant::array() const {
  if (!array_) TypeMismatch();
  return *array_;
}

SafeArray& Variant::array() {
  if (!array_) TypeMismatch();
  return *array_;
}

std::string Variant::TypeName() const {
  switch (type_) {
    case VarType::kEmpty:
      return "Empty";
    case VarType::kNull:
      return "Null";
    case VarType::kInteger:
      return "Integer";
    case VarType::kLong:
      return "Long";
    case VarType::kSingle:
      return "Single";
    case VarType::kDouble:
      return "Double";
    case VarType::kCurrency:
      return "Currency";
    case VarType::kDate:
      return "Date";
    case VarType::kString:
      return "String";
    case VarType::kObject:
      return object_ ? object_->ClassName() : "Nothing";
    case VarType::kError:
      return "Error";
    case VarType::kBoolean:
      return "Boolean";
    case VarType::kByte:
      return "Byte";
    case VarType::kArray:
      return "Variant()";
    default:
      return "Unknown";
  }
}

bool Variant::operator==(const Variant& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case VarType::kEmpty:
    case VarType::kNull:
      return true;
    case VarType::kInteger:
      return value_.i2 == other.value_.i2;
    case VarType::kLong:
    case VarType::kError:
      return value_.i4 == other.value_.i4;
    case VarType::kSingle:
      return value_.r4 == other.value_.r4;
    case VarType::kDouble:
    case VarType::kDate:
      return value_.r8 == other.value_.r8;
    case VarType::kCurrency:
      return value_.cy == other.value_.cy;
    case VarType::kString:
      return string_ == other.string_;
    case VarType::kObject:
      return object_ == other.object_;
    case VarType::kBoolean:
      return value_.b == other.value_.b;
    case VarType::kByte:
      return value_.ui1 == other.value_.ui1;
    case VarType::kArray:
      return *array_ == *other.array_;
    default:
      return false;
  }
}

std::ostream& operator<<(std::ostream& out, const Variant& value) {
  out << value.TypeName();
  if (value.IsArray()) return out << "[" << value.array().size() << "]";
  try {
    return out << "(" << value.ToString() << ")";
  } catch (const AutomationError&) {
    return out;
  }
}

}  // namespace quorvan
