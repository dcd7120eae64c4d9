#include "utility/file_system/file_system.h"

#include <vector>

#include "platform/automation/class_builder.h"
#include "platform/files/file_system.h"
#include "platform/files/native_path.h"
#include "shared/method_shape.h"

namespace quorvan::utility {
namespace {

std::vector<std::string> SplitAtSeparators(const std::string& native_path) {
  std::vector<std::string> elements;
  size_t start = 0;
  while (true) {
    const size_t separator = native_path.find('/', start);
    elements.push_back(native_path.substr(
        start, separator == std::string::npos ? std::string::npos : separator - start));
    if (separator == std::string::npos) return elements;
    start = separator + 1;
  }
}

}  // namespace

const ClassInfo& FileSystem::Info() {
  static const ClassInfo info =
      ClassBuilder<FileSystem>("QuorvanUtility.FileSystem")
          .Method<&FileSystem::CheckIfFileExists>("CheckIfFileExists", {In("i_sFilePath")})
          .Method<&FileSystem::CheckIfFolderExists>("CheckIfFolderExists", {In("i_sFolderPath")})
          .Method<&FileSystem::CopyFiles>("CopyFiles",
                                          {In("i_sSourcePath"), In("i_sDestinationPath")})
          .Method<&FileSystem::CreateFileWithFolder>(
              "CreateFileWithFolder", {In("i_sFileContent"), In("i_sDirPath"), In("i_sFileName")})
          .Method<&FileSystem::CreateFolder>("CreateFolder", {In("i_sFolderPath")})
          .Method<&FileSystem::DeleteFile>("DeleteFile", {In("i_sFilePath")})
          .Method<&FileSystem::DeleteFolder>("DeleteFolder", {In("i_sFolderPath")})
          .Method<&FileSystem::GetFileModificationDate>("GetFileModificationDate",
                                                        {In("i_sFilePath")}, "Date")
          .Method<&FileSystem::MakeFilesWritable>("MakeFilesWritable", {In("i_sFilePath")})
          .Build();
  return info;
}

bool FileSystem::CheckIfFileExists(const std::string& i_sFilePath) {
  return shared::MethodShape("QuorvanUtility.FileSystem.CheckIfFileExists").Run([&] {
    return files::FileExists(i_sFilePath);
  });
}

bool FileSystem::CheckIfFolderExists(const std::string& i_sFolderPath) {
  return shared::MethodShape("QuorvanUtility.FileSystem.CheckIfFolderExists").Run([&] {
    return files::FolderExists(i_sFolderPath);
  });
}

void FileSystem::CopyFiles(const Variant& i_sSourcePath, const Variant& i_sDestinationPath) {
  shared::MethodShape("QuorvanUtility.FileSystem.CopyFiles").Run([&] {
    const std::string source = i_sSourcePath.ToString();
    const std::string destination = i_sDestinationPath.ToString();
    if (files::FileExists(source)) files::CopyFile(source, destination);
  });
}

void FileSystem::CreateFileWithFolder(const std::string& i_sFileContent,
                                      const std::string& i_sDirPath,
                                      const std::string& i_sFileName) {
  shared::MethodShape("QuorvanUtility.FileSystem.CreateFileWithFolder").Run([&] {
    if (!files::FolderExists(i_sDirPath)) CreateFolder(i_sDirPath);
    std::string directory = files::NativePath(i_sDirPath);
    if (directory.empty() || directory.back() != '/') directory += '/';
    files::WriteUtf16TextFile(directory + i_sFileName, i_sFileContent);
  });
}

void FileSystem::CreateFolder(const std::string& i_sFolderPath) {
  shared::MethodShape("QuorvanUtility.FileSystem.CreateFolder").Run([&] {
    std::string running;
    for (const std::string& element : SplitAtSeparators(files::NativePath(i_sFolderPath))) {
      running += element + "/";
      if (!files::FolderExists(running)) {
        files::CreateFolder(running);
        running.pop_back();  // the created folder's path, then one separator again
        running += "/";
      }
    }
  });
}

void FileSystem::DeleteFile(const std::string& i_sFilePath) {
  shared::MethodShape("QuorvanUtility.FileSystem.DeleteFile").Run([&] {
    files::DeleteFile(i_sFilePath);
  });
}

void FileSystem::DeleteFolder(const std::string& i_sFolderPath) {
  shared::MethodShape("QuorvanUtility.FileSystem.DeleteFolder").Run([&] {
    if (!files::FolderExists(i_sFolderPath)) return;
    std::string path = i_sFolderPath;
    if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    files::DeleteFolder(path);
  });
}

Variant FileSystem::GetFileModificationDate(const std::string& i_sFilePath) {
  return shared::MethodShape("QuorvanUtility.FileSystem.GetFileModificationDate").Run([&] {
    return Variant::FromDate(files::LastModified(i_sFilePath));
  });
}

void FileSystem::MakeFilesWritable(const std::string& i_sFilePath) {
  shared::MethodShape("QuorvanUtility.FileSystem.MakeFilesWritable").Run([&] {
    const int32_t attributes = files::Attributes(i_sFilePath);
    if (attributes & files::kReadOnlyAttribute) {
      files::SetAttributes(i_sFilePath, files::Attributes(i_sFilePath) ^ files::kReadOnlyAttribute);
    }
  });
}

}  // namespace quorvan::utility
