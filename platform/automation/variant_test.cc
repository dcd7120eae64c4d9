#include "platform/automation/variant.h"

#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include <functional>
#include <limits>

#include "platform/automation/error_record.h"
#include "platform/automation/safe_array.h"

namespace quorvan {
namespace {

using quorvan::testing::ErrorNumberOf;

struct IntegerCase {
  Variant input;
  int32_t expected;  // meaningful when error == 0
  int error;
};

TEST(VariantTest, ToIntegerRoundsHalfToEvenAndChecksRangeAfterRounding) {
  const IntegerCase cases[] = {
      {Variant(0.5), 0, 0},          {Variant(1.5), 2, 0},      {Variant(2.5), 2, 0},
      {Variant(3.5), 4, 0},          {Variant(-2.5), -2, 0},    {Variant(-0.5), 0, 0},
      {Variant(32767.49), 32767, 0}, {Variant(32767.5), 0, 6},  {Variant(-32768.5), -32768, 0},
      {Variant(-32769.0), 0, 6},     {Variant(" 12 "), 12, 0},  {Variant("\t-7\t"), -7, 0},
      {Variant("- 7"), -7, 0},       {Variant("+3"), 3, 0},     {Variant("1,000"), 1000, 0},
      {Variant("1e1"), 10, 0},       {Variant("2.5"), 2, 0},    {Variant("&HF800"), -2048, 0},
      {Variant("&HFFFF"), -1, 0},    {Variant("&O17"), 15, 0},  {Variant("0x10"), 0, 13},
      {Variant("010"), 10, 0},       {Variant(""), 0, 13},      {Variant(" "), 0, 13},
      {Variant("TRUE"), 0, 13},      {Variant("abc"), 0, 13},   {Variant(), 0, 0},
      {Variant::Null(), 0, 94},      {Variant(true), -1, 0},    {Variant::Missing(), 0, 13},
      {Variant("$5"), 5, 0},         {Variant("1.5e20"), 0, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.TypeName() + " " + (c.input.IsString() ? c.input.string_ref() : ""));
    int16_t value = 0;
    EXPECT_EQ(ErrorNumberOf([&] { value = c.input.ToInteger(); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(value, c.expected);
    }
  }
}

TEST(VariantTest, TextTrueIsNotANumberButConvertsToBoolean) {
  // "TRUE" converts to Boolean but is no number.
  EXPECT_FALSE(Variant("TRUE").IsNumeric());
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_TRUE(Variant("#TRUE#").ToBool());
  EXPECT_FALSE(Variant("false").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_TRUE(Variant("-1").ToBool());
  EXPECT_EQ(ErrorNumberOf([] { Variant("").ToBool(); }), 13);
  EXPECT_TRUE(Variant(0.25).ToBool());
}

TEST(VariantTest, ToLongRangeAndHex) {
  EXPECT_EQ(Variant("2147483647").ToLong(), 2147483647);
  EXPECT_EQ(ErrorNumberOf([] { Variant("2147483648").ToLong(); }), 6);
  EXPECT_EQ(Variant(-2147483648.4).ToLong(), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Variant("&H7FFFFFFF").ToLong(), 2147483647);
  EXPECT_EQ(Variant("&HFFFFFFFF").ToLong(), -1);
  EXPECT_EQ(ErrorNumberOf([] { Variant("&H100000000").ToLong(); }), 13);
  EXPECT_EQ(Variant(Currency{25000}).ToLong(), 2);  // 2.5 -> 2
  EXPECT_EQ(Variant(Currency{35000}).ToLong(), 4);  // 3.5 -> 4
  EXPECT_EQ(Variant(Currency{-25000}).ToLong(), -2);
}

TEST(VariantTest, ToByteAndSingle) {
  EXPECT_EQ(Variant(true).ToByte(), 255);
  EXPECT_EQ(ErrorNumberOf([] { Variant(-1).ToByte(); }), 6);
  EXPECT_EQ(ErrorNumberOf([] { Variant(1e40).ToSingle(); }), 6);
  EXPECT_FLOAT_EQ(Variant("1.5").ToSingle(), 1.5f);
}

TEST(VariantTest, CurrencyKeepsFourDecimalsExactly) {
  EXPECT_EQ(Variant("12.34").ToCurrency().scaled, 123400);
  EXPECT_EQ(Variant("0.00005").ToCurrency().scaled, 0);  // half to even
  EXPECT_EQ(Variant("0.00015").ToCurrency().scaled, 2);
  EXPECT_EQ(Variant("922337203685477.5807").ToCurrency().scaled,
            std::numeric_limits<int64_t>::max());
  EXPECT_EQ(ErrorNumberOf([] { Variant("922337203685477.5808").ToCurrency(); }), 6);
  EXPECT_EQ(Variant(Currency{15000}).ToString(), "1.5");
  EXPECT_EQ(Variant(Currency{9}).ToString(), "0.0009");
  EXPECT_EQ(Variant(Currency{-20000}).ToString(), "-2");
}

TEST(VariantTest, NumberToText) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {2.5, "2.5"},
      {1e20, "1E+20"},
      {1.5e-16, "1.5E-16"},
      {0.0001, "0.0001"},
      {100000000000000.0, "100000000000000"},
      {1e15, "1E+15"},
      {1.0 / 3.0, "0.333333333333333"},
      {-1234.5678, "-1234.5678"},
      {0.1 + 0.2, "0.3"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Variant(value).ToString(), text);
  }
  EXPECT_EQ(Variant(int32_t{-42}).ToString(), "-42");
  EXPECT_EQ(Variant(int16_t{7}).ToString(), "7");
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(ErrorNumberOf([] { Variant::Null().ToString(); }), 94);
}

TEST(VariantTest, DatesConvertFromNumbersAndText) {
  EXPECT_EQ(Variant(-2.5).ToDate(), -2.5);
  EXPECT_EQ(ErrorNumberOf([] { Variant(-657435.0).ToDate(); }), 6);
  EXPECT_EQ(ErrorNumberOf([] { Variant(2958466.0).ToDate(); }), 6);
  EXPECT_EQ(Variant("1970-1-13").ToDate(), Variant("1/13/1970").ToDate());
  EXPECT_EQ(Variant("2-Jan-1970").ToDate(), Variant("1/2/1970").ToDate());
  EXPECT_EQ(Variant("1/2/29").ToDate(), Variant("2029-01-02").ToDate());
  EXPECT_EQ(Variant("1/2/30").ToDate(), Variant("1930-01-02").ToDate());
  EXPECT_EQ(Variant("36526").ToDate(), 36526.0);  // a number first
  EXPECT_EQ(ErrorNumberOf([] { Variant("2/30/2020").ToDate(); }), 13);
  EXPECT_EQ(Variant::FromDate(36526.5).ToString(), "1/1/2000 12:00:00 PM");
  EXPECT_EQ(Variant::FromDate(0.75).ToString(), "6:00:00 PM");
  EXPECT_EQ(Variant::FromDate(36526.0).ToString(), "1/1/2000");
  EXPECT_EQ(Variant("1/1/2000 12:00:00 PM").ToDate(), 36526.5);
}

TEST(VariantTest, IsNumeric) {
  EXPECT_TRUE(Variant().IsNumeric());
  EXPECT_TRUE(Variant(" 1e3 ").IsNumeric());
  EXPECT_TRUE(Variant("&H10").IsNumeric());
  EXPECT_FALSE(Variant("").IsNumeric());
  EXPECT_FALSE(Variant::Null().IsNumeric());
  EXPECT_FALSE(Variant::FromDate(1.0).IsNumeric());
  EXPECT_FALSE(Variant("1.2.3").IsNumeric());
}

TEST(VariantTest, TypeNamesAndMissing) {
  EXPECT_EQ(Variant(int16_t{1}).TypeName(), "Integer");
  EXPECT_EQ(Variant(1).TypeName(), "Long");
  EXPECT_EQ(Variant(1.0).TypeName(), "Double");
  EXPECT_EQ(Variant("").TypeName(), "String");
  EXPECT_EQ(Variant::Nothing().TypeName(), "Nothing");
  EXPECT_EQ(Variant::FromArray(SafeArray()).TypeName(), "Variant()");
  EXPECT_TRUE(Variant::Missing().IsMissing());
  EXPECT_FALSE(Variant::FromError(5).IsMissing());
}

TEST(VariantTest, ArraysCopyByValueAndKeepBounds) {
  Variant a = Variant::FromArray(SafeArray({Variant(1), Variant("x")}, 1));
  Variant b = a;
  b.array().at(1) = Variant(9);
  EXPECT_EQ(a.array().at(1), Variant(1));
  EXPECT_EQ(a.array().LBound(), 1);
  EXPECT_EQ(a.array().UBound(), 2);
  EXPECT_EQ(ErrorNumberOf([&] { a.array().at(0); }), 9);
  EXPECT_EQ(ErrorNumberOf([&] { a.ToLong(); }), 13);

  SafeArray empty;
  EXPECT_EQ(empty.UBound(), -1);

  SafeArray grid(ArrayBounds{0, 2}, ArrayBounds{1, 2});
  grid.at(1, 2) = Variant("corner");
  grid.RedimPreserve(3);
  EXPECT_EQ(grid.UBound(2), 3);
  EXPECT_EQ(grid.at(1, 2), Variant("corner"));
  EXPECT_TRUE(grid.at(1, 3).IsEmpty());
}

}  // namespace
}  // namespace quorvan
