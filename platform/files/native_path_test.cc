#include "platform/files/native_path.h"

#include <gtest/gtest.h>

#include "platform/automation/error_record.h"

namespace quorvan::files {
namespace {

TEST(NativePathTest, TurnsBackslashesIntoSlashesAndKeepsSegments) {
  EXPECT_EQ(NativePath("/srv/site\\siteConfiguration.xml"), "/srv/site/siteConfiguration.xml");
  EXPECT_EQ(NativePath("a\\\\b/c\\"), "a//b/c/");
  EXPECT_EQ(NativePath(""), "");
}

TEST(NativePathTest, RefusesNul) {
  try {
    NativePath(std::string_view("a\0b", 3));
    FAIL() << "no error";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.record().number, 5);
  }
}

}  // namespace
}  // namespace quorvan::files
