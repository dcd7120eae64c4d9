// MailTransport: how composed mails leave the machine, chosen by configuration:
//   pickup  one .eml file per message in a folder, as a mail server's pickup directory reads
//           them; each file appears whole (written beside, then renamed into place)
//   smtp    an SMTP server: host, port, optional STARTTLS and login, a timeout in seconds
// A failure raises an AutomationError (0x80040213, "QuorvanMail.Transport") with the reason;
// nothing counts as sent then.
#pragma once

#include <memory>
#include <string>

#include "platform/mail/mime_message.h"

namespace quorvan::mail {

struct TransportSettings {
  std::string kind = "pickup";  // pickup | smtp
  std::string pickup_directory;
  std::string smtp_host = "localhost";
  int smtp_port = 25;
  bool smtp_starttls = false;
  std::string smtp_user;  // empty: no login
  std::string smtp_password;
  int timeout_seconds = 30;
};

inline constexpr int32_t kMailTransportFailed = static_cast<int32_t>(0x80040213u);

class MailTransport {
 public:
  virtual ~MailTransport() = default;
  virtual void Send(const MimeMessage& message) = 0;

  // Error 5 for an unknown kind or incomplete settings.
  static std::unique_ptr<MailTransport> Create(const TransportSettings& settings);
};

}  // namespace quorvan::mail
