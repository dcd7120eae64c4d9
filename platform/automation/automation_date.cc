#include "platform/automation/automation_date.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/automation/error_record.h"

namespace quorvan {
namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<int64_t>(day_of_era) - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto day_of_era = static_cast<unsigned>(days - era * 146097);
  const unsigned year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const unsigned day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const unsigned mp = (5 * day_of_year + 2) / 153;
  day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(year_of_era) + era * 400 + (month <= 2));
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[static_cast<size_t>(month - 1)];
}

bool IsValidCivil(const CivilDateTime& c) {
  return c.year >= 100 && c.year <= 9999 && c.month >= 1 && c.month <= 12 && c.day >= 1 &&
         c.day <= DaysInMonth(c.year, c.month) && c.hour >= 0 && c.hour < 24 && c.minute >= 0 &&
         c.minute < 60 && c.second >= 0 && c.second < 60 && c.millisecond >= 0 &&
         c.millisecond < 1000;
}

std::optional<double> SerialIfValid(const CivilDateTime& civil) {
  if (!IsValidCivil(civil)) return std::nullopt;
  return ToDateSerial(civil);
}

// --- Text parsing -------------------------------------------------------------------------

struct Cursor {
  std::string_view text;
  size_t pos = 0;

  void SkipBlanks() {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  }
  bool AtEnd() const { return pos >= text.size(); }
  bool Take(char c) {
    if (pos < text.size() && text[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  // Up to max_digits digits; nullopt when none.
  std::optional<int> Number(size_t max_digits, size_t* digits_read = nullptr) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < max_digits &&
           std::isdigit(static_cast<unsigned char>(text[pos]))) {
      value = value * 10 + (text[pos++] - '0');
    }
    if (digits_read) *digits_read = pos - start;
    if (pos == start) return std::nullopt;
    return value;
  }
  std::string Word() {
    size_t start = pos;
    while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos]))) ++pos;
    std::string word(text.substr(start, pos - start));
    for (auto& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return word;
  }
};

constexpr std::array<const char*, 12> kMonthNames{"january",   "february", "march",    "april",
                                                  "may",       "june",     "july",     "august",
                                                  "september", "october",  "november", "december"};

std::optional<int> MonthFromName(const std::string& word) {
  if (word.size() < 3) return std::nullopt;
  for (size_t i = 0; i < kMonthNames.size(); ++i) {
    std::string_view name = kMonthNames[i];
    if (word.size() <= name.size() && name.substr(0, word.size()) == word) {
      return static_cast<int>(i) + 1;
    }
  }
  return std::nullopt;
}

int WidenYear(int year, size_t digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// "yyyy-m-d", "m/d/yyyy" or "d-Mon-yyyy" at the cursor.
bool ParseDatePart(Cursor& cur, CivilDateTime& civil) {
  size_t digits = 0;
  const auto first = cur.Number(4, &digits);
  if (!first) return false;
  if (cur.Take('/')) {
    size_t year_digits = 0;
    const auto day = cur.Number(2);
    if (!day || !cur.Take('/')) return false;
    const auto year = cur.Number(4, &year_digits);
    if (!year) return false;
    civil.month = *first;
    civil.day = *day;
    civil.year = WidenYear(*year, year_digits);
    return true;
  }
  if (!cur.Take('-')) return false;
  if (digits >= 3) {
    const auto month = cur.Number(2);
    if (!month || !cur.Take('-')) return false;
    const auto day = cur.Number(2);
    if (!day) return false;
    civil.year = *first;
    civil.month = *month;
    civil.day = *day;
    return true;
  }
  const auto month = MonthFromName(cur.Word());
  if (!month || !cur.Take('-')) return false;
  size_t year_digits = 0;
  const auto year = cur.Number(4, &year_digits);
  if (!year) return false;
  civil.day = *first;
  civil.month = *month;
  civil.year = WidenYear(*year, year_digits);
  return true;
}

// "h:mm[:ss] [AM|PM]" at the cursor.
bool ParseTimePart(Cursor& cur, CivilDateTime& civil) {
  const auto hour = cur.Number(2);
  if (!hour || !cur.Take(':')) return false;
  const auto minute = cur.Number(2);
  if (!minute) return false;
  int second = 0;
  if (cur.Take(':')) {
    const auto value = cur.Number(2);
    if (!value) return false;
    second = *value;
  }
  cur.SkipBlanks();
  int h = *hour;
  const std::string marker = cur.Word();
  if (marker == "am" || marker == "pm") {
    if (h < 1 || h > 12) return false;
    h = (h % 12) + (marker == "pm" ? 12 : 0);
  } else if (!marker.empty()) {
    return false;
  }
  civil.hour = h;
  civil.minute = *minute;
  civil.second = second;
  return true;
}

}  // namespace

bool IsValidDateSerial(double serial) {
  return std::isfinite(serial) && serial >= kMinDateSerial && serial < kMaxDateSerial;
}

double ToDateSerial(const CivilDateTime& civil) {
  if (!IsValidCivil(civil)) RaiseRuntimeError(runtime_error::kOverflow);
  const auto days =
      static_cast<double>(DaysFromCivil(civil.year, static_cast<unsigned>(civil.month),
                                        static_cast<unsigned>(civil.day)) -
                          kEpochOffset);
  const double time =
      static_cast<double>((civil.hour * 3600 + civil.minute * 60 + civil.second) * 1000 +
                          civil.millisecond) /
      static_cast<double>(kMillisecondsPerDay);
  return days >= 0 ? days + time : days - time;
}

CivilDateTime FromDateSerial(double serial) {
  auto days = static_cast<int64_t>(std::trunc(serial));
  auto time_ms = static_cast<int64_t>(std::llround(std::fabs(serial - std::trunc(serial)) *
                                                   static_cast<double>(kMillisecondsPerDay)));
  if (time_ms >= kMillisecondsPerDay) {
    time_ms -= kMillisecondsPerDay;
    days += 1;
  }
  CivilDateTime civil;
  CivilFromDays(days + kEpochOffset, civil.year, civil.month, civil.day);
  civil.millisecond = static_cast<int>(time_ms % 1000);
  const auto seconds = time_ms / 1000;
  civil.second = static_cast<int>(seconds % 60);
  civil.minute = static_cast<int>((seconds / 60) % 60);
  civil.hour = static_cast<int>(seconds / 3600);
  return civil;
}

double NowDateSerial() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ToDateSerial(CivilDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                    local.tm_hour, local.tm_min, local.tm_sec, 0});
}

std::string FormatIsoDate(double serial) {
  const CivilDateTime c = FromDateSerial(serial);
  char buffer[40];
  if (c.millisecond != 0) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", c.year, c.month,
                  c.day, c.hour, c.minute, c.second, c.millisecond);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
  }
  return buffer;
}

std::optional<double> ParseIsoDate(std::string_view text) {
  Cursor cur{text};
  CivilDateTime civil;
  size_t digits = 0;
  const auto year = cur.Number(4, &digits);
  if (!year || digits != 4 || !cur.Take('-')) return std::nullopt;
  const auto month = cur.Number(2);
  if (!month || !cur.Take('-')) return std::nullopt;
  const auto day = cur.Number(2);
  if (!day) return std::nullopt;
  civil.year = *year;
  civil.month = *month;
  civil.day = *day;
  if (!cur.AtEnd()) {
    if (!cur.Take('T') && !cur.Take(' ')) return std::nullopt;
    const auto hour = cur.Number(2);
    if (!hour || !cur.Take(':')) return std::nullopt;
    const auto minute = cur.Number(2);
    if (!minute || !cur.Take(':')) return std::nullopt;
    const auto second = cur.Number(2);
    if (!second) return std::nullopt;
    civil.hour = *hour;
    civil.minute = *minute;
    civil.second = *second;
    if (cur.Take('.')) {
      size_t fraction_digits = 0;
      const auto fraction = cur.Number(3, &fraction_digits);
      if (!fraction || fraction_digits != 3) return std::nullopt;
      civil.millisecond = *fraction;
    }
  }
  if (!cur.AtEnd()) return std::nullopt;
  return SerialIfValid(civil);
}

std::string FormatDateText(double serial) {
  const CivilDateTime c = FromDateSerial(serial);
  const bool has_date = !(c.year == 1899 && c.month == 12 && c.day == 30);
  const bool has_time = c.hour != 0 || c.minute != 0 || c.second != 0;
  char date_part[24];
  char time_part[24];
  std::snprintf(date_part, sizeof date_part, "%d/%d/%04d", c.month, c.day, c.year);
  const int hour12 = c.hour % 12 == 0 ? 12 : c.hour % 12;
  std::snprintf(time_part, sizeof time_part, "%d:%02d:%02d %s", hour12, c.minute, c.second,
                c.hour < 12 ? "AM" : "PM");
  if (has_date && has_time) return std::string(date_part) + " " + time_part;
  if (has_date) return date_part;
  return time_part;
}

std::optional<double> ParseDateText(std::string_view text) {
  if (auto iso = ParseIsoDate(text)) return iso;
  Cursor cur{text};
  cur.SkipBlanks();
  CivilDateTime civil;
  const size_t start = cur.pos;
  bool has_date = ParseDatePart(cur, civil);
  if (!has_date) {
    cur.pos = start;
    civil = CivilDateTime{};
  }
  cur.SkipBlanks();
  if (!cur.AtEnd() && !ParseTimePart(cur, civil)) return std::nullopt;
  cur.SkipBlanks();
  if (!cur.AtEnd() || (!has_date && cur.pos == start)) return std::nullopt;
  return SerialIfValid(civil);
}

}  // namespace quorvan
