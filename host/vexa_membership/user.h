// "VexaMembership.User": a membership user bound from the embedded directory.
//
// setServerInfo(path) names the site configuration file; its MEMBERSHIP section gives the bind
// account ("MemScriptUser", with "," and "LDAPRoot" appended when the root is set), the bind
// code ("MemScriptCode") and the directory file ("UsersFile", relative to the site folder).
// BindAs(user, account, code) fails with -2147023570 (logon failure) for a wrong account or
// code and with -2147016656 (no such object) for an unknown user; afterwards the object stands
// for that user. Reading a user's fields before a successful BindAs is error 91.
//
// State: the site file path and the bound user. One thread at a time.
#pragma once

#include <optional>
#include <string>

#include "host/vexa_membership/user_directory.h"
#include "platform/automation/object.h"

namespace quorvan::host {

inline constexpr int32_t kLogonFailure = static_cast<int32_t>(0x8007052Eu);
inline constexpr int32_t kNoSuchObject = static_cast<int32_t>(0x80072030u);

class User : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  void setServerInfo(Variant& site_configuration_path);
  void BindAs(Variant& user_id, const std::string& bind_account, const std::string& bind_code);
  std::string GetUserID() const;
  std::string GetLocaleID() const;
  int16_t GetLanguageID() const;
  std::string GetEmailAddress() const;
  std::string GetFamilyName() const;
  std::string GetGivenName() const;
  bool IsUserOfType(Variant& user_type) const;

 private:
  const DirectoryUser& Bound() const;

  std::string site_configuration_path_;
  std::optional<DirectoryUser> user_;
};

}  // namespace quorvan::host
