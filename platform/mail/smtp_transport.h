// SmtpTransport: sends each message to an SMTP server in its own session (connect, EHLO,
// optional STARTTLS and login, MAIL FROM, RCPT TO, DATA, QUIT), within the timeout.
#pragma once

#include "platform/mail/mail_transport.h"

namespace quorvan::mail {

class SmtpTransport : public MailTransport {
 public:
  explicit SmtpTransport(TransportSettings settings) : settings_(std::move(settings)) {}
  void Send(const MimeMessage& message) override;

 private:
  TransportSettings settings_;
};

}  // namespace quorvan::mail
