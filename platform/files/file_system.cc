#include "platform/files/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/ustring.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include "platform/automation/automation_date.h"
#include "platform/automation/error_record.h"
#include "platform/files/native_path.h"

namespace quorvan::files {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kDiskFull = 61;
constexpr int32_t kPathFileAccessError = 75;

[[noreturn]] void RaiseForErrno(int error, const std::string& path, int32_t missing_number) {
  int32_t number = kPathFileAccessError;
  switch (error) {
    case ENOENT:
      number = missing_number;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      number = runtime_error::kPermissionDenied;
      break;
    case EEXIST:
      number = runtime_error::kFileAlreadyExists;
      break;
    case ENOSPC:
    case EDQUOT:
      number = kDiskFull;
      break;
    default:
      break;
  }
  RaiseRuntimeError(number, path + ": " + std::strerror(error));
}

struct stat StatOf(const std::string& path, int32_t missing_number) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) RaiseForErrno(errno, path, missing_number);
  return info;
}

// Writes `bytes` to a new file beside `target` and renames it over the target.
void ReplaceWhole(const std::string& target, const std::string& bytes, mode_t mode) {
  const std::string temporary = target + ".quorvan-tmp-" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) RaiseForErrno(errno, target, runtime_error::kPathNotFound);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      ::close(fd);
      ::unlink(temporary.c_str());
      RaiseForErrno(error, target, runtime_error::kPathNotFound);
    }
    written += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    RaiseForErrno(error, target, runtime_error::kPathNotFound);
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    RaiseForErrno(error, target, runtime_error::kPathNotFound);
  }
}

std::string ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseForErrno(errno, path, runtime_error::kFileNotFound);
  std::string bytes;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      RaiseForErrno(error, path, runtime_error::kFileNotFound);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(NativePath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return ::stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void CopyFile(const std::string& source, const std::string& destination) {
  const std::string from = NativePath(source);
  const std::string to = NativePath(destination);
  const struct stat info = StatOf(from, runtime_error::kFileNotFound);
  if (S_ISDIR(info.st_mode)) RaiseRuntimeError(kPathFileAccessError, from + " is a folder");
  if (FolderExists(to)) RaiseRuntimeError(kPathFileAccessError, to + " is a folder");
  ReplaceWhole(to, ReadWhole(from), info.st_mode & 0777);
}

void CreateFolder(const std::string& path) {
  const std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0755) != 0)
    RaiseForErrno(errno, native, runtime_error::kPathNotFound);
}

void DeleteFile(const std::string& path) {
  const std::string native = NativePath(path);
  const struct stat info = StatOf(native, runtime_error::kFileNotFound);
  if (S_ISDIR(info.st_mode)) RaiseRuntimeError(kPathFileAccessError, native + " is a folder");
  if (::unlink(native.c_str()) != 0) RaiseForErrno(errno, native, runtime_error::kFileNotFound);
}

void DeleteFolder(const std::string& path) {
  const std::string native = NativePath(path);
  const struct stat info = StatOf(native, runtime_error::kPathNotFound);
  if (!S_ISDIR(info.st_mode)) RaiseRuntimeError(kPathFileAccessError, native + " is a file");
  std::error_code error;
  fs::remove_all(native, error);
  if (error) RaiseForErrno(error.value(), native, runtime_error::kPathNotFound);
}

double LastModified(const std::string& path) {
  const std::string native = NativePath(path);
  const struct stat info = StatOf(native, runtime_error::kFileNotFound);
  if (S_ISDIR(info.st_mode)) RaiseRuntimeError(kPathFileAccessError, native + " is a folder");
  std::tm local{};
  localtime_r(&info.st_mtim.tv_sec, &local);
  return ToDateSerial(CivilDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                    local.tm_hour, local.tm_min, local.tm_sec, 0});
}

int32_t Attributes(const std::string& path) {
  const std::string native = NativePath(path);
  const struct stat info = StatOf(native, runtime_error::kFileNotFound);
  int32_t attributes = 0;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= kReadOnlyAttribute;
  if (S_ISDIR(info.st_mode)) attributes |= kDirectoryAttribute;
  return attributes;
}

void SetAttributes(const std::string& path, int32_t attributes) {
  const std::string native = NativePath(path);
  const struct stat info = StatOf(native, runtime_error::kFileNotFound);
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & kReadOnlyAttribute) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
  if (::chmod(native.c_str(), mode) != 0)
    RaiseForErrno(errno, native, runtime_error::kFileNotFound);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string native = NativePath(path);
  if (FolderExists(native)) RaiseRuntimeError(kPathFileAccessError, native + " is a folder");
  struct stat info {};
  const mode_t mode = ::stat(native.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0644;
  ReplaceWhole(native, bytes, mode);
}

std::string ReadWholeFile(const std::string& path) { return ReadWhole(NativePath(path)); }

void WriteUtf16TextFile(const std::string& path, const std::string& utf8_text) {
  const std::string native = NativePath(path);
  if (FolderExists(native)) RaiseRuntimeError(kPathFileAccessError, native + " is a folder");
  // Text that is no valid UTF-8 keeps its readable part: bad bytes become U+FFFD.
  UErrorCode status = U_ZERO_ERROR;
  int32_t units = 0;
  u_strFromUTF8WithSub(nullptr, 0, &units, utf8_text.data(), static_cast<int32_t>(utf8_text.size()),
                       0xFFFD, nullptr, &status);
  std::vector<UChar> utf16(static_cast<size_t>(units) + 1);
  status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(utf16.data(), units + 1, &units, utf8_text.data(),
                       static_cast<int32_t>(utf8_text.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status))
    RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "text cannot be converted");
  std::string bytes = "\xFF\xFE";  // byte-order mark, little-endian
  bytes.reserve(2 + static_cast<size_t>(units) * 2);
  for (int32_t i = 0; i < units; ++i) {
    const auto unit = static_cast<uint16_t>(utf16[static_cast<size_t>(i)]);
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  struct stat info {};
  const mode_t mode = ::stat(native.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0644;
  ReplaceWhole(native, bytes, mode);
}

}  // namespace quorvan::files
