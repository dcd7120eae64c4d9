// Automation dates: a double counting days since 1899-12-30 00:00 (local time). The integer
// part is signed; the fraction is the time of day as an absolute value, so -2.5 is 1899-12-28
// 12:00 and -0.75 is 1899-12-30 18:00. Valid range: 100-01-01 (-657434) to 9999-12-31
// 23:59:59 (2958465.99999...). Stateless, thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvan {

struct CivilDateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  bool operator==(const CivilDateTime&) const = default;
};

inline constexpr double kMinDateSerial = -657434.0;
inline constexpr double kMaxDateSerial = 2958466.0;  // exclusive

bool IsValidDateSerial(double serial);
// Error 6 for a date outside the range or a field out of its range.
double ToDateSerial(const CivilDateTime& civil);
// Rounded to the millisecond. The caller has checked the range.
CivilDateTime FromDateSerial(double serial);

// The current local date and time as an automation date, whole seconds.
double NowDateSerial();

// "YYYY-MM-DDThh:mm:ss[.fff]" and back; the reader also accepts a space for the "T".
std::string FormatIsoDate(double serial);
std::optional<double> ParseIsoDate(std::string_view text);

// The invariant text form of a date ("M/D/YYYY h:mm:ss AM", date-only or time-only when the
// other part is 0) and the date forms accepted when text is converted to a date.
std::string FormatDateText(double serial);
std::optional<double> ParseDateText(std::string_view text);

}  // namespace quorvan
