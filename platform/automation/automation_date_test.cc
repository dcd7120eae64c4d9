#include "platform/automation/automation_date.h"

#include <gtest/gtest.h>

namespace quorvan {
namespace {

TEST(AutomationDateTest, SerialsMapToCivilTimesBothSidesOfTheEpoch) {
  struct Case {
    double serial;
    CivilDateTime civil;
  };
  const Case cases[] = {
      {0.0, {1899, 12, 30, 0, 0, 0, 0}},
      {-2.5, {1899, 12, 28, 12, 0, 0, 0}},
      {-0.75, {1899, 12, 30, 18, 0, 0, 0}},
      {36526.5, {2000, 1, 1, 12, 0, 0, 0}},
      {-657434.0, {100, 1, 1, 0, 0, 0, 0}},
      {2958465.0, {9999, 12, 31, 0, 0, 0, 0}},
      {60.0, {1900, 2, 28, 0, 0, 0, 0}},
      {61.0, {1900, 3, 1, 0, 0, 0, 0}},  // no 1900-02-29 in automation dates
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    EXPECT_EQ(FromDateSerial(c.serial), c.civil);
    // Day 0 has two spellings (-0.75 and 0.75); the positive one is canonical.
    EXPECT_DOUBLE_EQ(ToDateSerial(c.civil), c.serial == -0.75 ? 0.75 : c.serial);
  }
}

TEST(AutomationDateTest, IsoRoundTripWithMilliseconds) {
  const double serial = *ParseIsoDate("2005-07-03T14:30:05");
  EXPECT_EQ(FormatIsoDate(serial), "2005-07-03T14:30:05");
  const double with_ms = *ParseIsoDate("2005-07-03T14:30:05.250");
  EXPECT_EQ(FormatIsoDate(with_ms), "2005-07-03T14:30:05.250");
  EXPECT_EQ(FormatIsoDate(*ParseIsoDate("1899-12-29 06:00:00")), "1899-12-29T06:00:00");
  EXPECT_FALSE(ParseIsoDate("2005-02-30T00:00:00"));
  EXPECT_FALSE(ParseIsoDate("2005-07-03T14:30"));
  EXPECT_FALSE(ParseIsoDate("2005-07-03T14:30:05Z"));
}

TEST(AutomationDateTest, TimeOnlyTextsAndTwelveHourClock) {
  EXPECT_DOUBLE_EQ(*ParseDateText("12:00 AM"), 0.0);
  EXPECT_DOUBLE_EQ(*ParseDateText("6:00 PM"), 0.75);
  EXPECT_DOUBLE_EQ(*ParseDateText("18:00:00"), 0.75);
  EXPECT_FALSE(ParseDateText("13:00 PM"));
  EXPECT_FALSE(ParseDateText("noon"));
  EXPECT_FALSE(ParseDateText(""));
}

}  // namespace
}  // namespace quorvan
