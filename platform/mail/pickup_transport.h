// PickupTransport: writes each message as one .eml file into a folder. The file is written
// under a temporary name and renamed into place, so a reader never sees half a message.
// Thread-safe: names are unique per process, time and counter.
#pragma once

#include <atomic>
#include <string>

#include "platform/mail/mail_transport.h"

namespace quorvan::mail {

class PickupTransport : public MailTransport {
 public:
  explicit PickupTransport(std::string directory) : directory_(std::move(directory)) {}
  void Send(const MimeMessage& message) override;

 private:
  std::string directory_;
};

}  // namespace quorvan::mail
