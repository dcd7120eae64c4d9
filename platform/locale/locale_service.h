// The locale service: facts about a locale given by its numeric identifier in the Windows
// numbering (1033 English - United States, 2057 English - United Kingdom, 1031 German,
// 1036 French, 1041 Japanese...), from ICU's locale data.
//
// Short dates are those users of the locale see on their desktops, with four-digit years:
// a table holds the common locales (see kShortDatePatterns in the .cc); any other identifier
// ICU knows uses ICU's short date pattern with a two-digit year widened to four. An
// identifier ICU does not know has no data: empty separator, empty texts.
// Stateless; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvan::locale {

// The ICU locale name ("en_US") of a locale identifier; nullopt when unknown.
std::optional<std::string> IcuLocaleName(int32_t locale_id);

// The short date pattern in ICU notation ("M/d/yyyy"); empty when the locale is unknown.
std::string ShortDatePattern(int32_t locale_id);

// A calendar date in the locale's short form; empty when the locale is unknown or the date
// is invalid.
std::string FormatShortDate(int32_t locale_id, int year, int month, int day);

// The separator between hours and minutes in the locale's times (":" in most); empty when
// the locale is unknown.
std::string TimeSeparator(int32_t locale_id);

}  // namespace quorvan::locale
