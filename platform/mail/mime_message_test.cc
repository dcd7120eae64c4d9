#include "platform/mail/mime_message.h"

#include <Poco/Net/MailMessage.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/PartHandler.h>
#include <Poco/StreamCopier.h>
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/error_capture.h"

namespace quorvan::mail {
namespace {

// Collects the parts of a parsed message: headers and decoded bytes.
class CollectingHandler : public Poco::Net::PartHandler {
 public:
  struct Part {
    Poco::Net::MessageHeader header;
    std::string content;
  };
  void handlePart(const Poco::Net::MessageHeader& header, std::istream& stream) override {
    Part part{header, {}};
    Poco::StreamCopier::copyToString(stream, part.content);
    parts.push_back(part);
  }
  std::vector<Part> parts;
};

TEST(MimeMessageTest, ComposesWhatAParserReadsBack) {
  MimeMessage message;
  message.from = "quorvan@localhost";
  message.to = "jane@example.org";
  message.subject =
      "Angebot eingegangen \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F"
      "e";
  message.body = "Dear Jane,\r\nline two \xE6\x9D\xB1\r\n";
  message.attachments.push_back({"offer.pdf", std::string("%PDF\0\xFF\x80 binary", 12)});
  message.attachments.push_back({"na\"me.txt", "x"});
  const std::string text = message.Compose();

  std::istringstream in(text);
  Poco::Net::MailMessage parsed;
  CollectingHandler handler;
  parsed.read(in, handler);
  EXPECT_EQ(parsed.getSender(), "quorvan@localhost");
  EXPECT_EQ(parsed.get("To"), "jane@example.org");
  EXPECT_EQ(Poco::Net::MailMessage::decodeWord(parsed.getSubject()), message.subject);
  EXPECT_NE(parsed.getContentType().find("multipart/mixed"), std::string::npos);
  ASSERT_EQ(handler.parts.size(), 3u);
  EXPECT_EQ(handler.parts[0].header.get("Content-Type"), "text/plain; charset=UTF-8");
  EXPECT_EQ(handler.parts[0].header.get("Content-Transfer-Encoding"), "base64");
  EXPECT_EQ(handler.parts[0].content, message.body);
  EXPECT_EQ(handler.parts[1].header.get("Content-Disposition"),
            "attachment; filename=\"offer.pdf\"");
  EXPECT_EQ(handler.parts[1].header.get("Content-Type"), "text/plain");
  EXPECT_EQ(handler.parts[1].content, message.attachments[0].content);
  EXPECT_EQ(handler.parts[2].header.get("Content-Disposition"),
            "attachment; filename=\"na\\\"me.txt\"");
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "every line ends with CR LF";
}

TEST(MimeMessageTest, RefusesLineBreaksInHeaders) {
  for (auto field : {&MimeMessage::from, &MimeMessage::to, &MimeMessage::subject}) {
    MimeMessage message{"a@x", "b@y", "s", "body", {}};
    message.*field = "evil\r\nBcc: victim@z";
    EXPECT_EQ(quorvan::testing::ErrorNumberOf([&] { message.Compose(); }), 5);
  }
  MimeMessage attachment{"a@x", "b@y", "s", "body", {{"a\nb.txt", "x"}}};
  EXPECT_EQ(quorvan::testing::ErrorNumberOf([&] { attachment.Compose(); }), 5);
}

TEST(MimeMessageTest, AttachmentNamesComeAfterTheLastSeparator) {
  EXPECT_EQ(AttachmentNameOf("C:\\docs\\offer.pdf"), "offer.pdf");
  EXPECT_EQ(AttachmentNameOf("/srv/files/a/b.txt"), "b.txt");
  EXPECT_EQ(AttachmentNameOf("plain.txt"), "plain.txt");
  EXPECT_EQ(AttachmentNameOf("dir\\"), "");
}

}  // namespace
}  // namespace quorvan::mail
