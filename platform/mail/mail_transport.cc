#include "platform/mail/mail_transport.h"

#include "platform/automation/error_record.h"
#include "platform/mail/pickup_transport.h"
#include "platform/mail/smtp_transport.h"

namespace quorvan::mail {

std::unique_ptr<MailTransport> MailTransport::Create(const TransportSettings& settings) {
  if (settings.kind == "pickup") {
    if (settings.pickup_directory.empty()) {
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                        "the pickup transport needs a PickupDirectory");
    }
    return std::make_unique<PickupTransport>(settings.pickup_directory);
  }
  if (settings.kind == "smtp") return std::make_unique<SmtpTransport>(settings);
  RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                    "unknown mail transport '" + settings.kind + "' (pickup or smtp)");
}

}  // namespace quorvan::mail
