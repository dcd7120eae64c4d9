#include "host/solvagen/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/config/host_call.h"
#include "host/config/quorvan_config.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/class_builder.h"

namespace quorvan::host {
namespace {

constexpr const char* kSource = "Solvagen.Log";

void AppendWhole(const std::string& path, const std::string& entry) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0640);
  if (fd < 0) {
    RaiseRuntimeError(runtime_error::kPermissionDenied, path + ": " + std::strerror(errno));
  }
  size_t written = 0;
  while (written < entry.size()) {
    const ssize_t n = ::write(fd, entry.data() + written, entry.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      RaiseRuntimeError(runtime_error::kPermissionDenied, path + ": " + std::strerror(saved));
    }
    written += static_cast<size_t>(n);
  }
  ::close(fd);
}

}  // namespace

const ClassInfo& Log::Info() {
  static const ClassInfo info =
      ClassBuilder<Log>("Solvagen.Log")
          .Method<&Log::WriteEntry>(
              "WriteEntry",
              {ByRef("Source", "String"), ByRef("Message", "String"), ByRef("Level", "Long")})
          .Build();
  return info;
}

std::string Log::LogFilePath() {
  const auto config = QuorvanConfig::FromEnvironment();
  std::filesystem::path file = config->GetOr("log", "File", "quorvan.log");
  if (file.is_relative()) file = std::filesystem::path(config->Folder()) / file;
  return file.string();
}

Variant Log::WriteEntry(Variant& source, Variant& message, Variant& level) {
  return HostCall(kSource, [&] {
    std::string entry = FormatIsoDate(NowDateSerial()) +
                        " level=" + std::to_string(level.ToLong()) +
                        " source=" + source.ToString() + "\n" + message.ToString() + "\n\n";
    AppendWhole(LogFilePath(), entry);
    return Variant();
  });
}

}  // namespace quorvan::host
