#include "platform/automation/dictionary.h"

#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include "platform/automation/error_record.h"
#include "platform/automation/safe_array.h"

namespace quorvan {
namespace {

using quorvan::testing::ErrorNumberOf;

TEST(DictionaryTest, NumericKeysCompareByValueTextKeysExactly) {
  auto dictionary = Dictionary::Create();
  dictionary->Add(Variant(1), Variant("long one"));
  EXPECT_TRUE(dictionary->Exists(Variant(1.0)));
  EXPECT_TRUE(dictionary->Exists(Variant(int16_t{1})));
  EXPECT_FALSE(dictionary->Exists(Variant("1")));
  EXPECT_EQ(ErrorNumberOf([&] { dictionary->Add(Variant(1.0), Variant()); }), 457);
  dictionary->Add(Variant("1"), Variant("text one"));
  dictionary->Add(Variant("a"), Variant(1));
  EXPECT_FALSE(dictionary->Exists(Variant("A")));
  EXPECT_EQ(dictionary->Count(), 3);
}

TEST(DictionaryTest, KeepsInsertionOrderThroughRemove) {
  auto dictionary = Dictionary::Create();
  for (const char* key : {"c", "a", "b", "d"}) dictionary->Add(Variant(key), Variant(key));
  dictionary->Remove(Variant("a"));
  const Variant keys = dictionary->Keys();
  ASSERT_EQ(keys.array().UBound(), 2);
  EXPECT_EQ(keys.array().at(0), Variant("c"));
  EXPECT_EQ(keys.array().at(1), Variant("b"));
  EXPECT_EQ(keys.array().at(2), Variant("d"));
  EXPECT_EQ(dictionary->Item(Variant("d")), Variant("d"));
  EXPECT_EQ(ErrorNumberOf([&] { dictionary->Remove(Variant("zz")); }), 32811);
  dictionary->RemoveAll();
  EXPECT_EQ(dictionary->Keys().array().UBound(), -1);
}

TEST(DictionaryTest, ReadingAMissingItemAddsItEmpty) {
  auto dictionary = Dictionary::Create();
  EXPECT_TRUE(dictionary->Item(Variant("new")).IsEmpty());
  EXPECT_TRUE(dictionary->Exists(Variant("new")));
  dictionary->SetItem(Variant("new"), Variant(5));
  EXPECT_EQ(dictionary->Item(Variant("new")), Variant(5));
  EXPECT_EQ(dictionary->Count(), 1);
}

TEST(DictionaryTest, ObjectsAreNoKeys) {
  auto dictionary = Dictionary::Create();
  EXPECT_EQ(ErrorNumberOf([&] { dictionary->Add(Variant(dictionary), Variant()); }), 5);
}

TEST(DictionaryTest, LateBoundMembers) {
  ObjectPtr object = Dictionary::Create();
  object->Call("add", "k", 3);
  EXPECT_EQ(object->Call("ITEM", "k"), Variant(3));
  EXPECT_EQ(object->GetProperty("Count"), Variant(1));
  EXPECT_EQ(object->Call("Exists", "k"), Variant(true));
}

}  // namespace
}  // namespace quorvan
