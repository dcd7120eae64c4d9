#include "platform/json/variant_json.h"

#include <gtest/gtest.h>

#include "platform/automation/automation_date.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"

namespace quorvan::json {
namespace {

TEST(VariantJsonTest, EveryTypeRoundTripsExactly) {
  SafeArray grid(ArrayBounds{1, 2}, ArrayBounds{0, 2});
  grid.at(1, 0) = Variant("a");
  grid.at(2, 1) = Variant(2.5);
  struct Case {
    Variant value;
    const char* json;
  };
  const Case cases[] = {
      {Variant(), "{\"$empty\": true}"},
      {Variant::Null(), "null"},
      {Variant(true), "true"},
      {Variant(42), "42"},
      {Variant(-2147483647 - 1), "-2147483648"},
      {Variant(2.5), "2.5"},
      {Variant(5.0), "{\"$double\": 5}"},
      {Variant(3e9), "{\"$double\": 3000000000}"},
      {Variant(0.1), "0.1"},
      {Variant(int16_t{6}), "{\"$int\": 6}"},
      {Variant::FromByte(3), "{\"$byte\": 3}"},
      {Variant::FromSingle(1.5f), "{\"$single\": 1.5}"},
      {Variant(Currency{123400}), "{\"$currency\": \"12.3400\"}"},
      {Variant::FromDate(*ParseIsoDate("2005-07-03T14:30:05")),
       "{\"$date\": \"2005-07-03T14:30:05\"}"},
      {Variant::FromDate(*ParseIsoDate("2005-07-03T14:30:05.120")),
       "{\"$date\": \"2005-07-03T14:30:05.120\"}"},
      {Variant("t\"ab\\\n\x01\xC3\xA9"), "\"t\\\"ab\\\\\\n\\u0001\xC3\xA9\""},
      {Variant::Missing(), "{\"$missing\": true}"},
      {Variant::Nothing(), "{\"$nothing\": true}"},
      {Variant::FromArray(SafeArray::Of({Variant(1), Variant("x")})), "[1, \"x\"]"},
      {Variant::FromArray(SafeArray({Variant(1)}, 1)), "{\"$array\": [1], \"$lbound\": 1}"},
      {Variant::FromArray(SafeArray()), "[]"},
      {Variant::FromArray(grid),
       "{\"$array2\": [[\"a\", {\"$empty\": true}], [{\"$empty\": true}, 2.5]], \"$lbounds\": [1, "
       "0]}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(ToJson(c.value), c.json);
    EXPECT_EQ(ParseValue(c.json), c.value);
  }
}

TEST(VariantJsonTest, DictionariesKeepKeyTypesAndOrder) {
  const Variant read =
      ParseValue(R"({"$dict": [[1, "long"], ["1", "text"], [{"$int": 2}, null]]})");
  auto* dictionary = dynamic_cast<Dictionary*>(read.object_ref().get());
  ASSERT_NE(dictionary, nullptr);
  ASSERT_EQ(dictionary->Count(), 3);
  EXPECT_EQ(dictionary->entries()[1].key, Variant("1"));
  EXPECT_EQ(ToJson(read), R"({"$dict": [[1, "long"], ["1", "text"], [{"$int": 2}, null]]})");
}

TEST(VariantJsonTest, PlainNumbersOutsideLongAreDoubles) {
  EXPECT_EQ(ParseValue("2147483648"), Variant(2147483648.0));
  EXPECT_EQ(ParseValue("2.0"), Variant(2.0));
  EXPECT_EQ(ParseValue("1e2"), Variant(100.0));
}

TEST(VariantJsonTest, MalformedFormsAreErrorsNeverStrings) {
  for (const char* json : {R"({"$bogus": 1})", R"({"a": 1})", "{}", R"({"$date": "yesterday"})",
                           R"({"$int": 70000})", R"({"$empty": false})", R"({"$dict": [[1]]})",
                           R"({"$dict": [[1, 2], [1, 3]]})", R"({"$array2": [[1], [1, 2]]})",
                           R"({"$object": "v"})", "[1,", "'x'", R"({"$currency": 5})"}) {
    SCOPED_TRACE(json);
    EXPECT_THROW(ParseValue(json), JsonFormError);
  }
}

}  // namespace
}  // namespace quorvan::json
