// MimeMessage: one mail as the alert mails are sent, composed into its MIME text:
//
//   From, To, Subject (RFC 2047 encoded when not ASCII), Date, MIME-Version
//   Content-Type: multipart/mixed; charset=UTF-8; boundary=...
//     part 1: text/plain; charset=UTF-8, base64, the body
//     part n: text/plain, base64, Content-Disposition: attachment; filename="NAME"
//
// Header values must not hold CR or LF: a value that could add a header is refused (error 5),
// never passed on. Stateless apart from its fields; one thread at a time.
#pragma once

#include <string>
#include <vector>

namespace quorvan::mail {

struct MailAttachment {
  std::string file_name;  // as it appears in the Content-Disposition
  std::string content;    // the bytes
};

struct MimeMessage {
  std::string from;
  std::string to;
  std::string subject;
  std::string body;
  std::vector<MailAttachment> attachments;

  // The message text with CR LF line ends, ready for a pickup folder or an SMTP DATA command.
  std::string Compose() const;
};

// The name of a file as mail shows it: the part of a path after its last "\" or "/".
std::string AttachmentNameOf(const std::string& path);

}  // namespace quorvan::mail
