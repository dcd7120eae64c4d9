// "QuorvanUtility.FileSystem": file and folder operations for the other components and the
// pages, on the platform's file-system facility. "\" works as a separator in every path.
// Stateless.
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::utility {

class FileSystem : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  bool CheckIfFileExists(const std::string& i_sFilePath);
  bool CheckIfFolderExists(const std::string& i_sFolderPath);
  // Copies the source file over the destination; a missing source does nothing.
  void CopyFiles(const Variant& i_sSourcePath, const Variant& i_sDestinationPath);
  // Writes the content as UTF-16 little-endian with a byte-order mark into the folder,
  // creating the folder and its parents first.
  void CreateFileWithFolder(const std::string& i_sFileContent, const std::string& i_sDirPath,
                            const std::string& i_sFileName);
  // Creates every missing folder along the path; existing ones are fine.
  void CreateFolder(const std::string& i_sFolderPath);
  void DeleteFile(const std::string& i_sFilePath);
  // Deletes the folder with its content; a missing folder does nothing.
  void DeleteFolder(const std::string& i_sFolderPath);
  Variant GetFileModificationDate(const std::string& i_sFilePath);
  // Clears the read-only attribute (the owner's write permission comes back).
  void MakeFilesWritable(const std::string& i_sFilePath);
};

}  // namespace quorvan::utility
