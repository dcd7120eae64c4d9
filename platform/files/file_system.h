// The file-system facility the components use: existence tests, copy, folders, deletion,
// modification times, the read-only attribute and UTF-16 text files. Paths are taken through
// NativePath ("\" works as a separator; a NUL is refused with error 5).
//
// Errors carry the runtime's numbers: 53 file not found, 76 path not found, 58 file already
// exists, 70 permission denied, 61 disk full, 75 path/file access error (a folder where a
// file is expected and the like), each with the path and the system's reason.
//
// The read-only attribute (bit 1 of the attribute word) is the owner's write permission:
// read-only means the owner may not write (S_IWUSR clear). Folders carry bit 16.
// Files that are written (copies, text files) appear whole: they are written beside their
// target and renamed into place, so a failure never leaves a half-written file behind.
// Stateless; thread-safe as far as the file system is.
#pragma once

#include <cstdint>
#include <string>

namespace quorvan::files {

inline constexpr int32_t kReadOnlyAttribute = 1;
inline constexpr int32_t kDirectoryAttribute = 16;

bool FileExists(const std::string& path);    // a file, not a folder
bool FolderExists(const std::string& path);  // a folder, not a file
// Copies a file, replacing the destination file if there is one.
void CopyFile(const std::string& source, const std::string& destination);
// Creates one folder; its parent must exist. Error 58 when something exists at the path.
void CreateFolder(const std::string& path);
// Deletes a file, read-only or not; error 53 when there is none.
void DeleteFile(const std::string& path);
// Deletes a folder with everything in it; error 76 when there is none.
void DeleteFolder(const std::string& path);
// The last-modified time of a file as an automation date in local time; error 53 when missing.
double LastModified(const std::string& path);
int32_t Attributes(const std::string& path);
// Applies the read-only bit of `attributes`; other bits are ignored.
void SetAttributes(const std::string& path, int32_t attributes);
// Writes `bytes` as the file's whole content: written beside it, then renamed into place.
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The whole content of a file; error 53 when missing.
std::string ReadWholeFile(const std::string& path);
// Writes `utf8_text` as UTF-16 little-endian with a byte-order mark, replacing the file.
void WriteUtf16TextFile(const std::string& path, const std::string& utf8_text);

}  // namespace quorvan::files
