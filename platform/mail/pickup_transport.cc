#include "platform/mail/pickup_transport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/automation/error_record.h"

namespace quorvan::mail {
namespace {

std::atomic<uint64_t> g_counter{0};

[[noreturn]] void Fail(const std::string& what) {
  RaiseError(kMailTransportFailed, "QuorvanMail.Transport",
             "The mail could not be written: " + what);
}

}  // namespace

void PickupTransport::Send(const MimeMessage& message) {
  const std::string text = message.Compose();
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::string name =
      std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(now).count()) + "-" +
      std::to_string(getpid()) + "-" + std::to_string(++g_counter);
  const std::string temporary = directory_ + "/." + name + ".tmp";
  const std::string final_path = directory_ + "/" + name + ".eml";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0640);
  if (fd < 0) Fail(temporary + ": " + std::strerror(errno));
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      ::unlink(temporary.c_str());
      Fail(temporary + ": " + std::strerror(saved));
    }
    written += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 || std::rename(temporary.c_str(), final_path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    Fail(final_path + ": " + std::strerror(saved));
  }
}

}  // namespace quorvan::mail
