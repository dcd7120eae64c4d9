// ConnectionString: "Key=Value;Key=Value" as the row-set platform writes it. Keys compare
// ignoring case; a value may be quoted with "..." or '...' to hold ";". Which provider opens
// the connection follows from "Provider":
//   Provider=SQLite;Data Source=/path/file.db
//   Provider=PostgreSQL;Host=...;Port=5432;Database=...;User ID=...;Password=...
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvan::data {

class ConnectionString {
 public:
  // Error 3001 for text that is no list of key=value pairs.
  static ConnectionString Parse(const std::string& text);

  std::optional<std::string> Get(const std::string& key) const;
  std::string GetOr(const std::string& key, const std::string& fallback) const;
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

}  // namespace quorvan::data
