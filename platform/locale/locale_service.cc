#include "platform/locale/locale_service.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uloc.h>

#include <array>
#include <memory>

namespace quorvan::locale {
namespace {

struct ShortDate {
  int32_t locale_id;
  const char* pattern;
};

// Short dates as the desktops of these locales show them (ICU's own data often has two-digit
// years here).
constexpr std::array kShortDatePatterns{
    ShortDate{1033, "M/d/yyyy"},   ShortDate{2057, "dd/MM/yyyy"}, ShortDate{3081, "d/MM/yyyy"},
    ShortDate{4105, "yyyy-MM-dd"}, ShortDate{1031, "dd.MM.yyyy"}, ShortDate{2055, "dd.MM.yyyy"},
    ShortDate{3079, "dd.MM.yyyy"}, ShortDate{1036, "dd/MM/yyyy"}, ShortDate{3084, "yyyy-MM-dd"},
    ShortDate{4108, "dd.MM.yyyy"}, ShortDate{1040, "dd/MM/yyyy"}, ShortDate{1034, "dd/MM/yyyy"},
    ShortDate{3082, "dd/MM/yyyy"}, ShortDate{1043, "d-M-yyyy"},   ShortDate{1046, "dd/MM/yyyy"},
    ShortDate{2070, "dd/MM/yyyy"}, ShortDate{1041, "yyyy/MM/dd"}, ShortDate{2052, "yyyy/M/d"},
    ShortDate{1042, "yyyy-MM-dd"}, ShortDate{1049, "dd.MM.yyyy"}, ShortDate{1045, "dd.MM.yyyy"},
    ShortDate{1053, "yyyy-MM-dd"}, ShortDate{1030, "dd-MM-yyyy"}, ShortDate{1044, "dd.MM.yyyy"},
    ShortDate{1035, "d.M.yyyy"},   ShortDate{1029, "dd.MM.yyyy"}, ShortDate{1038, "yyyy. MM. dd."},
    ShortDate{1055, "dd.MM.yyyy"},
};

std::string ToUtf8(const icu::UnicodeString& text) {
  std::string utf8;
  text.toUTF8String(utf8);
  return utf8;
}

// "yy" alone becomes "yyyy"; "y" and "yyyy" already give the full year.
std::string WidenYear(const std::string& pattern) {
  std::string widened;
  for (size_t i = 0; i < pattern.size();) {
    size_t run = 0;
    while (i + run < pattern.size() && pattern[i + run] == 'y') ++run;
    if (run == 0) {
      widened += pattern[i++];
      continue;
    }
    widened += run == 2 ? "yyyy" : pattern.substr(i, run);
    i += run;
  }
  return widened;
}

std::unique_ptr<icu::DateFormat> ShortFormat(const icu::Locale& locale, bool time) {
  return std::unique_ptr<icu::DateFormat>(
      time ? icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale)
           : icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale));
}

std::string PatternOf(const icu::DateFormat* format) {
  const auto* simple = dynamic_cast<const icu::SimpleDateFormat*>(format);
  if (simple == nullptr) return std::string();
  icu::UnicodeString pattern;
  simple->toPattern(pattern);
  return ToUtf8(pattern);
}

}  // namespace

std::optional<std::string> IcuLocaleName(int32_t locale_id) {
  if (locale_id <= 0) return std::nullopt;
  char name[ULOC_FULLNAME_CAPACITY] = {};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length =
      uloc_getLocaleForLCID(static_cast<uint32_t>(locale_id), name, sizeof name, &status);
  if (U_FAILURE(status) || length <= 0) return std::nullopt;
  return std::string(name, static_cast<size_t>(length));
}

std::string ShortDatePattern(int32_t locale_id) {
  for (const ShortDate& entry : kShortDatePatterns) {
    if (entry.locale_id == locale_id) return entry.pattern;
  }
  const auto name = IcuLocaleName(locale_id);
  if (!name) return std::string();
  return WidenYear(PatternOf(ShortFormat(icu::Locale(name->c_str()), false).get()));
}

std::string FormatShortDate(int32_t locale_id, int year, int month, int day) {
  const auto name = IcuLocaleName(locale_id);
  const std::string pattern = ShortDatePattern(locale_id);
  if (!name || pattern.empty()) return std::string();
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale locale(name->c_str());
  icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8(pattern), locale, status);
  std::unique_ptr<icu::Calendar> calendar(
      icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
  if (U_FAILURE(status)) return std::string();
  calendar->clear();
  calendar->set(year, month - 1, day);
  const UDate moment = calendar->getTime(status);
  format.adoptCalendar(calendar.release());
  if (U_FAILURE(status)) return std::string();
  icu::UnicodeString text;
  format.format(moment, text);
  return ToUtf8(text);
}

std::string TimeSeparator(int32_t locale_id) {
  const auto name = IcuLocaleName(locale_id);
  if (!name) return std::string();
  const std::string pattern = PatternOf(ShortFormat(icu::Locale(name->c_str()), true).get());
  // The characters between the hour field and the minute field, quotes removed.
  const size_t hour = pattern.find_first_of("Hhk");
  if (hour == std::string::npos) return ":";
  size_t start = pattern.find_first_not_of("Hhk", hour);
  const size_t minute = pattern.find('m', start);
  if (start == std::string::npos || minute == std::string::npos) return ":";
  std::string separator;
  for (size_t i = start; i < minute; ++i) {
    if (pattern[i] != '\'') separator += pattern[i];
  }
  return separator.empty() ? ":" : separator;
}

}  // namespace quorvan::locale
