#include "utility/string/string_builder.h"

#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"

namespace quorvan::utility {
namespace {

TEST(StringBuilderTest, JoinsPiecesInOrderAndGrowsBySteps) {
  StringBuilder builder;
  EXPECT_EQ(builder.Value(), "");
  EXPECT_EQ(builder.slot_count(), 51u);
  builder.Add("SELECT ");
  builder.Add("");
  builder.Add("A FROM T");
  EXPECT_EQ(builder.Value(), "SELECT A FROM T");
  EXPECT_EQ(builder.Value(), "SELECT A FROM T");
  EXPECT_EQ(builder.piece_count(), 3);
  std::string expected = "SELECT A FROM T";
  for (int i = 3; i < 51; ++i) {
    builder.Add(std::to_string(i));
    expected += std::to_string(i);
  }
  EXPECT_EQ(builder.slot_count(), 51u);
  builder.Add("|52nd");
  EXPECT_EQ(builder.slot_count(), 101u);
  EXPECT_EQ(builder.Value(), expected + "|52nd");
  builder.Reset();
  EXPECT_EQ(builder.Value(), "");
  EXPECT_EQ(builder.slot_count(), 51u);
  for (int i = 0; i < 51; ++i) builder.Add("x");
  EXPECT_EQ(builder.slot_count(), 51u);
}

TEST(StringBuilderTest, LateBoundAsComponentsUseIt) {
  ObjectPtr builder = CreateObject("QuorvanUtility.String");
  builder->Call("Add", "a");
  builder->Call("add", 5);  // converted to text on the way in
  EXPECT_EQ(builder->GetProperty("Value"), Variant("a5"));
  EXPECT_EQ(Variant(builder).TypeName(), "String");
  builder->Call("Reset");
  EXPECT_EQ(builder->GetProperty("Value"), Variant(""));
}

}  // namespace
}  // namespace quorvan::utility
