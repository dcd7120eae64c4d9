#include "platform/mail/mime_message.h"

#include <Poco/Base64Encoder.h>
#include <Poco/DateTime.h>
#include <Poco/DateTimeFormat.h>
#include <Poco/DateTimeFormatter.h>
#include <Poco/Net/MailMessage.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/MultipartWriter.h>

#include <sstream>

#include "platform/automation/error_record.h"

namespace quorvan::mail {
namespace {

// A header value that holds a line break could add headers of its own choosing.
const std::string& HeaderValue(const std::string& value, const char* name) {
  if (value.find_first_of("\r\n") != std::string::npos) {
    RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                      std::string("the mail's ") + name + " holds a line break");
  }
  return value;
}

bool IsAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

std::string QuotedFileName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : HeaderValue(name, "attachment name")) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

void WriteBase64(std::ostream& out, const std::string& bytes) {
  Poco::Base64Encoder encoder(out);
  encoder.rdbuf()->setLineLength(76);
  encoder << bytes;
  encoder.close();
  out << "\r\n";
}

}  // namespace

std::string MimeMessage::Compose() const {
  std::ostringstream out;
  const std::string boundary = Poco::Net::MultipartWriter::createBoundary();
  Poco::Net::MessageHeader header;
  header.set("Date", Poco::DateTimeFormatter::format(Poco::DateTime(),
                                                     Poco::DateTimeFormat::RFC1123_FORMAT));
  header.set("From", HeaderValue(from, "sender"));
  header.set("To", HeaderValue(to, "receiver"));
  const std::string& plain_subject = HeaderValue(subject, "subject");
  header.set("Subject", IsAscii(plain_subject)
                            ? plain_subject
                            : Poco::Net::MailMessage::encodeWord(plain_subject, "UTF-8"));
  header.set("MIME-Version", "1.0");
  header.set("Content-Type", "multipart/mixed; charset=UTF-8; boundary=\"" + boundary + "\"");
  header.write(out);
  out << "\r\n";

  Poco::Net::MultipartWriter writer(out, boundary);
  Poco::Net::MessageHeader text;
  text.set("Content-Type", "text/plain; charset=UTF-8");
  text.set("Content-Transfer-Encoding", "base64");
  writer.nextPart(text);
  WriteBase64(out, body);
  for (const MailAttachment& attachment : attachments) {
    Poco::Net::MessageHeader part;
    part.set("Content-Type", "text/plain");
    part.set("Content-Transfer-Encoding", "base64");
    part.set("Content-Disposition", "attachment; filename=" + QuotedFileName(attachment.file_name));
    writer.nextPart(part);
    WriteBase64(out, attachment.content);
  }
  writer.close();
  return out.str();
}

std::string AttachmentNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace quorvan::mail
