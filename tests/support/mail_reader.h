// Reads mails as a receiver would: a .eml file or a maildir message parsed into its headers
// (subject decoded) and its parts (headers and decoded bytes).
#pragma once

#include <string>
#include <vector>

namespace quorvan::testing {

struct ReadPart {
  std::string content_type;
  std::string disposition;
  std::string content;
};

struct ReadMail {
  std::string from;
  std::string to;
  std::string subject;  // decoded
  std::string content_type;
  std::vector<ReadPart> parts;
  const std::string& body() const { return parts.at(0).content; }
};

ReadMail ReadMailFile(const std::string& path);
// Every file of a folder (sorted by name), parsed.
std::vector<ReadMail> ReadMailFolder(const std::string& folder);

}  // namespace quorvan::testing
