#include "platform/mail/smtp_transport.h"

#include <Poco/Exception.h>
#include <Poco/Net/Context.h>
#include <Poco/Net/SecureSMTPClientSession.h>

#include <sstream>

#include "platform/automation/error_record.h"

namespace quorvan::mail {
namespace {

// The address inside "Name <address>", or the whole text.
std::string EnvelopeAddress(const std::string& address) {
  const size_t open = address.find('<');
  const size_t close = address.find('>', open == std::string::npos ? 0 : open);
  if (open != std::string::npos && close != std::string::npos)
    return address.substr(open + 1, close - open - 1);
  return address;
}

}  // namespace

void SmtpTransport::Send(const MimeMessage& message) {
  const std::string text = message.Compose();  // refuses header injection before connecting
  try {
    Poco::Net::SecureSMTPClientSession session(settings_.smtp_host,
                                               static_cast<Poco::UInt16>(settings_.smtp_port));
    session.setTimeout(Poco::Timespan(settings_.timeout_seconds, 0));
    session.login();
    if (settings_.smtp_starttls) {
      Poco::Net::Context::Ptr context = new Poco::Net::Context(
          Poco::Net::Context::TLS_CLIENT_USE, "", "", "", Poco::Net::Context::VERIFY_RELAXED);
      session.startTLS(context);
    }
    if (!settings_.smtp_user.empty()) {
      session.login(Poco::Net::SMTPClientSession::AUTH_LOGIN, settings_.smtp_user,
                    settings_.smtp_password);
    }
    Poco::Net::SMTPClientSession::Recipients recipients{EnvelopeAddress(message.to)};
    session.sendAddresses(EnvelopeAddress(message.from), recipients);
    session.sendData();
    std::istringstream data(text);
    session.sendMessage(data);
    session.close();
  } catch (const Poco::Exception& failure) {
    RaiseError(kMailTransportFailed, "QuorvanMail.Transport",
               "The mail could not be sent through " + settings_.smtp_host + ":" +
                   std::to_string(settings_.smtp_port) + ": " + failure.displayText());
  }
}

}  // namespace quorvan::mail
