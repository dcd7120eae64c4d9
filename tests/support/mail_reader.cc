#include "tests/support/mail_reader.h"

#include <Poco/Net/MailMessage.h>
#include <Poco/Net/MessageHeader.h>
#include <Poco/Net/PartHandler.h>
#include <Poco/StreamCopier.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quorvan::testing {
namespace {

class Collector : public Poco::Net::PartHandler {
 public:
  explicit Collector(std::vector<ReadPart>& parts) : parts_(parts) {}
  void handlePart(const Poco::Net::MessageHeader& header, std::istream& stream) override {
    ReadPart part{header.get("Content-Type", ""), header.get("Content-Disposition", ""), {}};
    Poco::StreamCopier::copyToString(stream, part.content);
    parts_.push_back(part);
  }

 private:
  std::vector<ReadPart>& parts_;
};

}  // namespace

ReadMail ReadMailFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Poco::Net::MailMessage message;
  ReadMail mail;
  Collector collector(mail.parts);
  message.read(in, collector);
  mail.from = message.getSender();
  mail.to = message.get("To", "");
  mail.subject = Poco::Net::MailMessage::decodeWord(message.getSubject());
  mail.content_type = message.getContentType();
  return mail;
}

std::vector<ReadMail> ReadMailFolder(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  std::vector<ReadMail> mails;
  for (const std::string& file : files) mails.push_back(ReadMailFile(file));
  return mails;
}

}  // namespace quorvan::testing
