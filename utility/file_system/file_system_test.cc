// "QuorvanUtility.FileSystem" through late binding, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/automation/class_registry.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using testing::ErrorOf;

class FileSystemClassTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  testing::TestInstallation installation_;
  std::string dir_ = installation_.dir() + "/files";
  ObjectPtr fs_ = CreateObject("QuorvanUtility.FileSystem");
};

TEST_F(FileSystemClassTest, CreateFolderMakesEveryLevelAndToleratesExistingOnes) {
  fs_->Call("CreateFolder", dir_ + "\\a\\b\\c");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/a/b/c"));
  fs_->Call("CreateFolder", dir_ + "/a/b/c/");    // trailing separator, all there: no error
  fs_->Call("CreateFolder", dir_ + "//a//b//d");  // doubled separators
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/a/b/d"));
  EXPECT_EQ(fs_->Call("CheckIfFolderExists", dir_ + "\\a"), Variant(true));
  EXPECT_EQ(fs_->Call("CheckIfFileExists", dir_ + "\\a"), Variant(false));
  std::ofstream(dir_ + "/a/file") << "x";
  const ErrorRecord blocked = ErrorOf([&] { fs_->Call("CreateFolder", dir_ + "/a/file/sub"); });
  EXPECT_NE(blocked.number, 0);
  EXPECT_NE(blocked.description.find(" METHOD: QuorvanUtility.FileSystem.CreateFolder\r\n"),
            std::string::npos);
}

TEST_F(FileSystemClassTest, TextFilesAreUtf16WithAByteOrderMark) {
  fs_->Call("CreateFileWithFolder", "first, longer content", dir_ + "\\x\\y", "n.txt");
  fs_->Call("CreateFileWithFolder", "Hi \xE2\x82\xAC", dir_ + "\\x\\y\\", "n.txt");  // same file
  EXPECT_EQ(Read(dir_ + "/x/y/n.txt"), std::string("\xFF\xFEH\0i\0 \0\xAC\x20", 10));
}

TEST_F(FileSystemClassTest, CopyDeleteAndMissingThings) {
  std::filesystem::create_directories(dir_);
  std::ofstream(dir_ + "/src.txt") << "one";
  fs_->Call("CopyFiles", dir_ + "\\src.txt", dir_ + "\\dst.txt");
  std::ofstream(dir_ + "/src.txt") << "two";
  fs_->Call("CopyFiles", dir_ + "\\src.txt", dir_ + "\\dst.txt");
  EXPECT_EQ(Read(dir_ + "/dst.txt"), "two");
  fs_->Call("CopyFiles", dir_ + "\\missing.txt", dir_ + "\\other.txt");  // nothing, no error
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/other.txt"));
  EXPECT_EQ(ErrorOf([&] { fs_->Call("CopyFiles", Variant::Null(), "x"); }).number, 94);

  const ErrorRecord missing = ErrorOf([&] { fs_->Call("DeleteFile", dir_ + "\\missing.txt"); });
  EXPECT_EQ(missing.number, 53);
  EXPECT_NE(missing.description.find(" METHOD: QuorvanUtility.FileSystem.DeleteFile\r\n"),
            std::string::npos);
  fs_->Call("DeleteFolder", dir_ + "\\nothing-here");  // nothing, no error
  fs_->Call("CreateFolder", dir_ + "\\tree\\leaf");
  std::ofstream(dir_ + "/tree/leaf/f") << "x";
  fs_->Call("DeleteFolder", dir_ + "\\tree\\");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/tree"));
  EXPECT_EQ(ErrorOf([&] { fs_->Call("GetFileModificationDate", dir_ + "/none"); }).number, 53);
  EXPECT_EQ(fs_->Call("GetFileModificationDate", dir_ + "/dst.txt").type(), VarType::kDate);
}

TEST_F(FileSystemClassTest, MakeFilesWritableClearsOnlyReadOnly) {
  std::filesystem::create_directories(dir_);
  const std::string path = dir_ + "/ro.txt";
  std::ofstream(path) << "x";
  ::chmod(path.c_str(), 0440);
  fs_->Call("MakeFilesWritable", path);
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  fs_->Call("MakeFilesWritable", path);  // writable already: unchanged
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(ErrorOf([&] { fs_->Call("MakeFilesWritable", dir_ + "/none"); }).number, 53);
}

}  // namespace
}  // namespace quorvan
