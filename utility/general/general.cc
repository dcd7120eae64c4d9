#include "utility/general/general.h"

#include <cmath>
#include <vector>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/locale/locale_service.h"
#include "shared/general.h"
#include "shared/method_shape.h"

namespace quorvan::utility {
namespace {

// The values of a posted form field run together; an absent field gives "".
std::string JoinedFormValue(const Variant& form, const std::string& name) {
  ObjectPtr field = form.ToObject()->Call("Item", name).ToObject();
  std::string joined;
  const int32_t count = field->GetProperty("Count").ToLong();
  for (int32_t i = 1; i <= count; ++i) joined += field->Call("Item", i).ToString();
  return joined;
}

// Characters as the form's limits count them: UTF-16 code units.
size_t Utf16Length(const std::string& utf8) {
  size_t units = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte
    units += byte >= 0xF0 ? 2 : 1;        // four-byte sequences need a surrogate pair
  }
  return units;
}

// Splits at every occurrence of `separator`, ignoring ASCII case; "" splits into nothing and
// an empty separator leaves the text whole.
std::vector<std::string> SplitIgnoringCase(const std::string& text, const std::string& separator) {
  if (text.empty()) return {};
  if (separator.empty()) return {text};
  std::vector<std::string> parts;
  const std::string lower_text = LowerAscii(text);
  const std::string lower_separator = LowerAscii(separator);
  size_t start = 0;
  while (true) {
    const size_t found = lower_text.find(lower_separator, start);
    parts.push_back(
        text.substr(start, found == std::string::npos ? std::string::npos : found - start));
    if (found == std::string::npos) return parts;
    start = found + separator.size();
  }
}

// A numeric time part within [0, limit] after rounding half to even.
bool IsValidTimePart(const std::string& part, int32_t limit) {
  const Variant value(part);
  if (!value.IsNumeric()) return false;
  const double number = value.ToDouble();
  return number >= 0 && std::nearbyint(number) <= limit;
}

int64_t WholeDay(double serial) { return static_cast<int64_t>(std::floor(serial)); }
int32_t MinuteOfDay(double serial) {
  const CivilDateTime civil = FromDateSerial(serial);
  return civil.hour * 60 + civil.minute;
}

// -1, 0, 1 as the first date-time lies before, at or after the second, at minute precision.
int CompareToTheMinute(double first, double second) {
  if (WholeDay(second) > WholeDay(first)) return -1;
  if (WholeDay(second) < WholeDay(first)) return 1;
  const int32_t a = MinuteOfDay(first);
  const int32_t b = MinuteOfDay(second);
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

const ClassInfo& General::Info() {
  static const ClassInfo info =
      ClassBuilder<General>("QuorvanUtility.General")
          .Method<&General::CheckForDelimiters>("CheckForDelimiters", {In("i_sString")})
          .Method<&General::GetFormVariable>("GetFormVariable",
                                             {In("i_vRequestForm"), In("i_sVariableName")})
          .Method<&General::ValidateFormVarForLength>(
              "ValidateFormVarForLength",
              {In("i_vRequestForm"), In("i_sVariableName"), In("i_lLength")})
          .Method<&General::DateTime>(
              "DateTime", {In("i_dDateValue", "Date"), In("i_vLocaleID"), Optional("i_bWithTime")})
          .Method<&General::getValidTimeString>("getValidTimeString",
                                                {In("i_vTimeString"), In("i_vLocaleID")})
          .Method<&General::GetTimeSeparator>("GetTimeSeparator", {In("i_lLocaleId")})
          .Method<&General::IsDateTime1OnOrBeforeDateTime2>(
              "IsDateTime1OnOrBeforeDateTime2", {In("iDate1", "Date"), In("iDate2", "Date")})
          .Method<&General::IsDateTime1OnOrAfterDateTime2>(
              "IsDateTime1OnOrAfterDateTime2", {In("iDate1", "Date"), In("iDate2", "Date")})
          .Method<&General::GetSourcingIdentifier>("GetSourcingIdentifier")
          .Method<&General::GetTesmikIdentifier>("GetTesmikIdentifier")
          .Build();
  return info;
}

bool General::CheckForDelimiters(const std::string& i_sString) {
  return shared::MethodShape("QuorvanUtility.General.CheckForDelimiters").Run([&] {
    return i_sString.find('|') != std::string::npos ||
           LowerAscii(i_sString).find("#eso#") != std::string::npos;
  });
}

std::string General::GetFormVariable(const Variant& i_vRequestForm,
                                     const std::string& i_sVariableName) {
  return shared::MethodShape("QuorvanUtility.General.GetFormVariable").Run([&] {
    return JoinedFormValue(i_vRequestForm, i_sVariableName);
  });
}

bool General::ValidateFormVarForLength(const Variant& i_vRequestForm,
                                       const std::string& i_sVariableName, int32_t i_lLength) {
  return shared::MethodShape("QuorvanUtility.General.ValidateFormVarForLength").Run([&] {
    return static_cast<int64_t>(Utf16Length(JoinedFormValue(i_vRequestForm, i_sVariableName))) <=
           i_lLength;
  });
}

std::string General::GetUserLocaleInfoW(int32_t locale_id, int32_t information) {
  return shared::MethodShape("QuorvanUtility.General.GetUserLocaleInfoW").Run([&] {
    return information == kLocaleTimeSeparator ? locale::TimeSeparator(locale_id) : std::string();
  });
}

std::string General::GetTimeSeparator(const Variant& i_lLocaleId) {
  return shared::MethodShape("QuorvanUtility.General.GetTimeSeparator").Run([&] {
    return GetUserLocaleInfoW(i_lLocaleId.ToLong(), kLocaleTimeSeparator);
  });
}

Variant General::DateTime(const Variant& i_dDateValue, const Variant& i_vLocaleID,
                          bool i_bWithTime) {
  return shared::MethodShape("QuorvanUtility.General.DateTime").Run([&] {
    const double serial = i_dDateValue.ToDate();
    const int32_t locale_id = i_vLocaleID.ToLong();
    const CivilDateTime civil = FromDateSerial(serial);
    std::string text;
    for (char c : locale::FormatShortDate(locale_id, civil.year, civil.month, civil.day)) {
      if (c != ' ') text += c;
    }
    if (i_bWithTime) {
      std::string time;
      if (locale::IcuLocaleName(locale_id)) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%02d:%02d", civil.hour, civil.minute);
        time = buffer;
      }
      text += " " + time;
    }
    return Variant(text);
  });
}

Variant General::getValidTimeString(const Variant& i_vTimeString, const Variant& i_vLocaleID) {
  return shared::MethodShape("QuorvanUtility.General.getValidTimeString").Run([&] {
    const std::string separator = GetTimeSeparator(i_vLocaleID);
    std::vector<std::string> parts = SplitIgnoringCase(i_vTimeString.ToString(), separator);
    if (parts.size() > 2) return Variant::Null();
    if (parts.empty())
      RaiseRuntimeError(runtime_error::kSubscriptOutOfRange, "no hours in an empty time");
    if (!IsValidTimePart(parts[0], 23)) return Variant::Null();
    if (parts.size() == 2 && !IsValidTimePart(parts[1], 59)) return Variant::Null();
    if (parts[0].size() == 1) parts[0] = "0" + parts[0];
    if (parts.size() == 2 && parts[1].size() == 1) parts[1] = "0" + parts[1];
    return Variant(parts[0] + separator + (parts.size() == 2 ? parts[1] : "00"));
  });
}

bool General::IsDateTime1OnOrBeforeDateTime2(const Variant& iDate1, const Variant& iDate2) {
  return shared::MethodShape("QuorvanUtility.General.IsDateTime1OnOrBeforeDateTime2").Run([&] {
    return CompareToTheMinute(iDate1.ToDate(), iDate2.ToDate()) <= 0;
  });
}

bool General::IsDateTime1OnOrAfterDateTime2(const Variant& iDate1, const Variant& iDate2) {
  return shared::MethodShape("QuorvanUtility.General.IsDateTime1OnOrAfterDateTime2").Run([&] {
    return CompareToTheMinute(iDate1.ToDate(), iDate2.ToDate()) >= 0;
  });
}

std::string General::GetSourcingIdentifier() {
  return shared::MethodShape("QuorvanUtiltiy.ErrorHandler.GetSourcingIdentifier").Run([] {
    return shared::GetSourcingAppIdentifier();
  });
}

std::string General::GetTesmikIdentifier() {
  return shared::MethodShape("QuorvanUtiltiy.ErrorHandler.GetTesmikIdentifier").Run([] {
    return shared::GetApplicationIdentifier();
  });
}

}  // namespace quorvan::utility
