#include "platform/locale/locale_service.h"

#include <gtest/gtest.h>

namespace quorvan::locale {
namespace {

TEST(LocaleServiceTest, ShortDatesAsDesktopsShowThem) {
  struct Case {
    int32_t locale;
    const char* date;  // 2024-03-05
  };
  const Case cases[] = {{1033, "3/5/2024"},   {2057, "05/03/2024"}, {1031, "05.03.2024"},
                        {1036, "05/03/2024"}, {1041, "2024/03/05"}, {1049, "05.03.2024"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(FormatShortDate(c.locale, 2024, 3, 5), c.date);
  }
  // A locale outside the table uses ICU's pattern with a four-digit year.
  EXPECT_NE(FormatShortDate(1050, 2024, 3, 5).find("2024"), std::string::npos);  // Croatian
  EXPECT_EQ(FormatShortDate(99999, 2024, 3, 5), "");
  EXPECT_EQ(FormatShortDate(0, 2024, 3, 5), "");
}

TEST(LocaleServiceTest, TimeSeparators) {
  EXPECT_EQ(TimeSeparator(1033), ":");
  EXPECT_EQ(TimeSeparator(1031), ":");
  EXPECT_EQ(TimeSeparator(1035), ".");  // Finnish
  EXPECT_EQ(TimeSeparator(99999), "");
  EXPECT_EQ(IcuLocaleName(1033), "en_US");
  EXPECT_FALSE(IcuLocaleName(99999));
}

}  // namespace
}  // namespace quorvan::locale
