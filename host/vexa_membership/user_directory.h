// UserDirectory: the embedded membership directory, a JSON file in the site configuration
// folder (MEMBERSHIP key "UsersFile", default "users.json"):
//
//   {"users": [{"id": "jdoe", "given": "Jane", "family": "Doe", "email": "jane@example.org",
//               "locale": "1033", "language": 1033, "types": [6]}]}
//
// User identifiers compare ignoring ASCII case, as directory logins do. Save() replaces the
// file atomically (temporary file, then rename). Not thread-safe; one owner at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvan::host {

struct DirectoryUser {
  std::string id;
  std::string given;
  std::string family;
  std::string email;
  std::string locale = "1033";
  int32_t language = 1033;
  std::vector<int32_t> types;
};

class UserDirectory {
 public:
  // A missing file is an empty directory; a malformed one is error 75.
  static UserDirectory Load(const std::string& path);

  const std::vector<DirectoryUser>& users() const { return users_; }
  const DirectoryUser* Find(const std::string& id) const;
  // Adds the user, or replaces the one with the same identifier.
  void Upsert(DirectoryUser user);
  void Save() const;

 private:
  std::string path_;
  std::vector<DirectoryUser> users_;
};

}  // namespace quorvan::host
