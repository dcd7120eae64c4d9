// "QuorvanUtility.FormCache" through late binding, on real cache files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/automation/class_registry.h"
#include "platform/automation/safe_array.h"
#include "platform/web/posted_form.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using testing::ErrorOf;

Variant Names(std::initializer_list<Variant> names, int32_t lower = 0) {
  return Variant::FromArray(SafeArray(std::vector<Variant>(names), lower));
}

class FormCacheTest : public ::testing::Test {
 protected:
  std::string CacheDir() { return installation_.dir() + "/Tesmik/FileStorage/Application/Cache"; }

  // A new cache instance; returns it and the key in use.
  ObjectPtr Open(const std::string& key_in, std::string* key_out,
                 const std::string& container = "RFQ17") {
    ObjectPtr cache = CreateObject("QuorvanUtility.FormCache");
    Variant args[] = {Variant(8812), Variant(container), Variant(key_in)};
    cache->Invoke("InitializeCache", args);
    if (key_out) *key_out = args[2].ToString();
    return cache;
  }

  static ObjectPtr Form(std::vector<std::pair<std::string, std::vector<std::string>>> fields) {
    auto form = std::make_shared<web::PostedForm>();
    for (auto& [name, values] : fields) form->AddField(name, values);
    return form;
  }

  size_t FileCount() {
    size_t count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(CacheDir(), error))
      count += entry.is_regular_file();
    return count;
  }

  testing::TestInstallation installation_;
};

TEST_F(FormCacheTest, ANewCacheHasASixDigitKeyAndNoFileUntilTheFirstSave) {
  std::string key;
  ObjectPtr cache = Open("", &key);
  EXPECT_EQ(key.size(), 6u);
  EXPECT_TRUE(std::filesystem::is_directory(CacheDir()));
  EXPECT_EQ(FileCount(), 0u);
  cache->Call("ReleaseCache");
  EXPECT_EQ(FileCount(), 0u);
  EXPECT_EQ(cache->Call("GetValueFromCache", "A"), Variant(""));  // released: empty answers
}

TEST_F(FormCacheTest, PostsAreRecordedPerFormAndReadBackInALaterRequest) {
  std::string key;
  ObjectPtr first = Open("", &key);
  first->Call("UpdateCache", Form({{"HtmlFormName", {"page1"}}, {"a", {"1"}}, {"b", {"2", "3"}}}),
              Names({Variant("forced"), Variant("A")}));
  first->Call("UpdateCache", Form({{"HTMLFORMNAME", {"page2"}}, {"c", {" padded "}}}));
  first->Call("ReleaseCache");
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string name = std::to_string(local.tm_mon + 1) + std::to_string(local.tm_mday) +
                           std::to_string(local.tm_year + 1900) + "_8812_RFQ17_" + key + ".sca";
  EXPECT_TRUE(std::filesystem::exists(CacheDir() + "/" + name)) << name;

  std::string same_key;
  ObjectPtr second = Open(key, &same_key);
  EXPECT_EQ(same_key, key);
  EXPECT_EQ(second->Call("GetValueFromCache", "a"), Variant("1"));
  EXPECT_EQ(second->Call("GetValueFromCache", "B"), Variant("2, 3"));
  EXPECT_EQ(second->Call("GetValueFromCache", "FORCED"), Variant(""));
  EXPECT_EQ(second->Call("GetValueFromCache", "c"), Variant("padded"));
  EXPECT_EQ(second->Call("CheckIfAtleastOneFieldExists", Names({Variant("x"), Variant("forced")})),
            Variant(true));
  // page1 again with only a: b of page1 is cleared, c of page2 stays.
  second->Call("UpdateCache", Form({{"HTMLFORMNAME", {"PAGE1"}}, {"a", {"9"}}}));
  EXPECT_EQ(second->Call("GetValueFromCache", "A"), Variant("9"));
  EXPECT_EQ(second->Call("GetValueFromCache", "B"), Variant(""));
  EXPECT_EQ(second->Call("GetValueFromCache", "C"), Variant("padded"));
  EXPECT_EQ(second->Call("GetValueFromCache", "missing"), Variant(""));
}

TEST_F(FormCacheTest, ValuesAndNamesOfAnyTextSurviveTheFile) {
  const std::string texts[] = {"quotes ' \" & < >", "tab\tCR\rLF\ndone",
                               std::string("nul\0ctl\x02", 8), "astral \xF0\x9D\x84\x9E"};
  std::string key;
  ObjectPtr cache = Open("", &key);
  cache->Call(
      "UpdateCache",
      Form({{"O'Brien", {texts[0]}}, {"t2", {texts[1]}}, {"t3", {texts[2]}}, {"t4", {texts[3]}}}));
  cache->Call("ReleaseCache");
  ObjectPtr again = Open(key, nullptr);
  EXPECT_EQ(again->Call("GetValueFromCache", "o'brien"),
            Variant(texts[0]));  // the apostrophe is found
  EXPECT_EQ(again->Call("GetValueFromCache", "t2"), Variant(texts[1]));
  EXPECT_EQ(again->Call("GetValueFromCache", "t3"), Variant(texts[2]));
  EXPECT_EQ(again->Call("GetValueFromCache", "t4"), Variant(texts[3]));
}

TEST_F(FormCacheTest, UpdateValueAndFieldChecks) {
  std::string key;
  ObjectPtr cache = Open("", &key);
  EXPECT_EQ(cache->Call("CheckIfFieldExists", Names({Variant("A")})), Variant());  // empty cache
  cache->Call("UpdateValueInCache", Names({Variant("A")}), Names({Variant("1")}));
  EXPECT_EQ(FileCount(), 0u);  // nothing written for names without a row
  cache->Call("UpdateCache", Form({{"a", {"1"}}, {"b", {"2"}}}));
  cache->Call("UpdateValueInCache", Names({Variant("a"), Variant("zz"), Variant("B")}),
              Names({Variant::Null(), Variant("x"), Variant(42)}));
  EXPECT_EQ(cache->Call("GetValueFromCache", "A"), Variant(""));
  EXPECT_EQ(cache->Call("GetValueFromCache", "B"), Variant("42"));
  const Variant found =
      cache->Call("CheckIfFieldExists", Names({Variant("a"), Variant("zz"), Variant("b")}, 1));
  ASSERT_TRUE(found.IsArray());
  EXPECT_EQ(found.array().LBound(), 0);
  EXPECT_EQ(found.array().UBound(), 3);
  EXPECT_TRUE(found.array().at(0).IsEmpty());
  EXPECT_EQ(found.array().at(1), Variant(true));
  EXPECT_EQ(found.array().at(2), Variant(false));
  EXPECT_EQ(found.array().at(3), Variant(true));
  const ErrorRecord mismatch = ErrorOf([&] {
    cache->Call("UpdateValueInCache", Names({Variant("a"), Variant("b")}),
                Names({Variant("only one")}));
  });
  EXPECT_EQ(mismatch.number, 9);
  EXPECT_EQ(cache->Call("GetValueFromCache", "B"), Variant(""));  // released by the failure
}

TEST_F(FormCacheTest, ContainerIdentifiersCannotLeaveTheCacheFolder) {
  for (const char* container : {"../escape", "a/b", "a\\b", ".."}) {
    SCOPED_TRACE(container);
    ObjectPtr cache = CreateObject("QuorvanUtility.FormCache");
    Variant args[] = {Variant(1), Variant(container), Variant("")};
    const ErrorRecord error = ErrorOf([&] { cache->Invoke("InitializeCache", args); });
    EXPECT_EQ(error.number, 5);
    EXPECT_NE(error.description.find("QuorvanUtility.FormCache.GetCacheFileName"),
              std::string::npos);
  }
  EXPECT_FALSE(
      std::filesystem::exists(installation_.dir() + "/Tesmik/FileStorage/Application/escape"));
}

TEST_F(FormCacheTest, AFailedSaveKeepsTheOldContentAndAWrongKeyStartsAfresh) {
  std::string key;
  ObjectPtr cache = Open("", &key);
  cache->Call("UpdateCache", Form({{"a", {"old"}}}));
  std::string path;
  for (const auto& entry : std::filesystem::directory_iterator(CacheDir()))
    path = entry.path().string();
  // The new content is written beside the file first; make that impossible.
  std::filesystem::create_directory(path + ".quorvan-tmp-" + std::to_string(getpid()));
  EXPECT_NE(ErrorOf([&] { cache->Call("UpdateCache", Form({{"a", {"new"}}})); }).number, 0);
  std::filesystem::remove(path + ".quorvan-tmp-" + std::to_string(getpid()));
  ObjectPtr reread = Open(key, nullptr);
  EXPECT_EQ(reread->Call("GetValueFromCache", "a"), Variant("old"));

  std::string fresh;
  ObjectPtr other = Open("000001", &fresh);
  EXPECT_NE(fresh, "000001");
  EXPECT_EQ(other->Call("GetValueFromCache", "a"), Variant(""));
  ObjectPtr never = CreateObject("QuorvanUtility.FormCache");
  EXPECT_EQ(ErrorOf([&] { never->Call("DeleteCache", 8812, "RFQ17", key); }).number, 0);
  reread->Call("DeleteCache", 1, "ignored", "ignored");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FormCacheTest, GarbageIsWhatWasLastWrittenBeforeYesterday) {
  std::filesystem::create_directories(CacheDir());
  const std::time_t now = std::time(nullptr);
  std::tm midnight{};
  localtime_r(&now, &midnight);
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  midnight.tm_isdst = -1;
  const std::time_t today = std::mktime(&midnight);
  const std::pair<const char*, std::time_t> files[] = {
      {"old.sca", today - 86400 - 60}, {"yesterday.sca", today - 86400 + 60}, {"today.txt", now}};
  for (const auto& [name, written] : files) {
    const std::string path = CacheDir() + "/" + name;
    std::ofstream(path) << "x";
    utimbuf times{written, written};
    ::utime(path.c_str(), &times);
  }
  ::chmod((CacheDir() + "/old.sca").c_str(), 0444);
  std::filesystem::create_directory(CacheDir() + "/sub");
  CreateObject("QuorvanUtility.FormCache")->Call("DeleteCacheGarbage");
  EXPECT_FALSE(std::filesystem::exists(CacheDir() + "/old.sca"));
  EXPECT_TRUE(std::filesystem::exists(CacheDir() + "/yesterday.sca"));
  EXPECT_TRUE(std::filesystem::exists(CacheDir() + "/today.txt"));
  EXPECT_TRUE(std::filesystem::exists(CacheDir() + "/sub"));
  std::filesystem::remove_all(CacheDir());
  EXPECT_EQ(
      ErrorOf([] { CreateObject("QuorvanUtility.FormCache")->Call("DeleteCacheGarbage"); }).number,
      76);
}

}  // namespace
}  // namespace quorvan
