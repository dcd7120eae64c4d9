#include "platform/files/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/automation/automation_date.h"
#include "tests/support/error_capture.h"

namespace quorvan::files {
namespace {

using quorvan::testing::ErrorNumberOf;

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quorvan-files-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + "/" + name) << content;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::string dir_;
};

TEST_F(FileSystemTest, ExistenceDistinguishesFilesFromFolders) {
  Write("a.txt", "x");
  EXPECT_TRUE(FileExists(dir_ + "/a.txt"));
  EXPECT_TRUE(FileExists(dir_ + "\\a.txt"));
  EXPECT_FALSE(FolderExists(dir_ + "/a.txt"));
  EXPECT_TRUE(FolderExists(dir_));
  EXPECT_FALSE(FileExists(dir_));
  EXPECT_FALSE(FileExists(dir_ + "/missing"));
  EXPECT_EQ(ErrorNumberOf([&] { FileExists(std::string("a\0b", 3)); }), 5);
}

TEST_F(FileSystemTest, CopyReplacesAndErrorsAreTheRuntimes) {
  Write("a.txt", "first");
  Write("b.txt", "old and longer");
  CopyFile(dir_ + "/a.txt", dir_ + "/b.txt");
  CopyFile(dir_ + "/a.txt", dir_ + "/b.txt");
  EXPECT_EQ(Read("b.txt"), "first");
  EXPECT_EQ(ErrorNumberOf([&] { CopyFile(dir_ + "/none", dir_ + "/c"); }), 53);
  EXPECT_EQ(ErrorNumberOf([&] { CopyFile(dir_ + "/a.txt", dir_ + "/no/such/dir/c"); }), 76);
  EXPECT_EQ(ErrorNumberOf([&] { CopyFile(dir_ + "/a.txt", dir_); }), 75);
  EXPECT_EQ(ErrorNumberOf([&] { DeleteFile(dir_ + "/none"); }), 53);
  EXPECT_EQ(ErrorNumberOf([&] { DeleteFile(dir_); }), 75);
  EXPECT_EQ(ErrorNumberOf([&] { DeleteFolder(dir_ + "/a.txt"); }), 75);
  EXPECT_EQ(ErrorNumberOf([&] { CreateFolder(dir_ + "/a.txt"); }), 58);
  EXPECT_EQ(ErrorNumberOf([&] { LastModified(dir_ + "/none"); }), 53);
}

TEST_F(FileSystemTest, ReadOnlyIsTheOwnersWriteBit) {
  Write("r.txt", "x");
  const std::string path = dir_ + "/r.txt";
  ::chmod(path.c_str(), 0444);
  EXPECT_EQ(Attributes(path) & kReadOnlyAttribute, kReadOnlyAttribute);
  SetAttributes(path, Attributes(path) ^ kReadOnlyAttribute);
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0644u);  // only the owner's write bit came back
  EXPECT_EQ(Attributes(dir_) & kDirectoryAttribute, kDirectoryAttribute);
  ::chmod(path.c_str(), 0444);
  DeleteFile(path);  // read-only files are deleted too
  EXPECT_FALSE(FileExists(path));
}

TEST_F(FileSystemTest, Utf16TextFilesReplaceWhatWasThere) {
  const std::string path = dir_ + "/t.txt";
  WriteUtf16TextFile(path, "a long first content");
  WriteUtf16TextFile(path, "\xC3\xA9\xF0\x9F\x98\x80");  // é and a character outside the BMP
  EXPECT_EQ(Read("t.txt"), std::string("\xFF\xFE\xE9\x00\x3D\xD8\x00\xDE", 8));
  EXPECT_EQ(ErrorNumberOf([&] { WriteUtf16TextFile(dir_, "x"); }), 75);
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename().string().find("tmp"), std::string::npos)
        << "a temporary file was left";
  }
}

TEST_F(FileSystemTest, ModificationTimeIsLocal) {
  Write("m.txt", "x");
  const double modified = LastModified(dir_ + "/m.txt");
  EXPECT_NEAR(modified, NowDateSerial(), 2.0 / 86400.0);
}

}  // namespace
}  // namespace quorvan::files
