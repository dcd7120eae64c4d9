#include "host/vexa_membership/user.h"

#include <algorithm>
#include <filesystem>

#include "host/config/host_call.h"
#include "host/config/site_configuration.h"
#include "platform/automation/class_builder.h"

namespace quorvan::host {
namespace {

constexpr const char* kSource = "VexaMembership.User";

}  // namespace

const ClassInfo& User::Info() {
  static const ClassInfo info =
      ClassBuilder<User>("VexaMembership.User")
          .Method<&User::setServerInfo>("setServerInfo", {ByRef("ServerInfo", "String")})
          .Method<&User::BindAs>("BindAs",
                                 {ByRef("UserID", "String"), In("BindAccount"), In("BindCode")})
          .Method<&User::GetUserID>("GetUserID")
          .Method<&User::GetLocaleID>("GetLocaleID")
          .Method<&User::GetLanguageID>("GetLanguageID")
          .Method<&User::GetEmailAddress>("GetEmailAddress")
          .Method<&User::GetFamilyName>("GetFamilyName")
          .Method<&User::GetGivenName>("GetGivenName")
          .Method<&User::IsUserOfType>("IsUserOfType", {ByRef("UserType", "Integer")})
          .Build();
  return info;
}

void User::setServerInfo(Variant& site_configuration_path) {
  HostCall(kSource, [&] { site_configuration_path_ = site_configuration_path.ToString(); });
}

void User::BindAs(Variant& user_id, const std::string& bind_account, const std::string& bind_code) {
  HostCall(kSource, [&] {
    user_.reset();
    const SiteConfiguration site = SiteConfiguration::Load(site_configuration_path_);
    std::string expected_account = site.Get("MEMBERSHIP", "MemScriptUser").value_or("");
    const std::string root = site.Get("MEMBERSHIP", "LDAPRoot").value_or("");
    if (!root.empty()) expected_account += "," + root;
    if (bind_account != expected_account ||
        bind_code != site.Get("MEMBERSHIP", "MemScriptCode").value_or("")) {
      RaiseError(kLogonFailure, kSource, "Logon failure: unknown bind account or bad code");
    }
    std::filesystem::path file = site.Get("MEMBERSHIP", "UsersFile").value_or("users.json");
    if (file.is_relative()) file = std::filesystem::path(site.folder()) / file;
    const UserDirectory directory = UserDirectory::Load(file.string());
    const std::string id = user_id.ToString();
    const DirectoryUser* found = directory.Find(id);
    if (found == nullptr) {
      RaiseError(kNoSuchObject, kSource, "There is no such user in the directory: " + id);
    }
    user_ = *found;
  });
}

const DirectoryUser& User::Bound() const {
  if (!user_) {
    RaiseError(runtime_error::kObjectNotSet, kSource, "The user object is not bound (call BindAs)");
  }
  return *user_;
}

std::string User::GetUserID() const { return Bound().id; }
std::string User::GetLocaleID() const { return Bound().locale; }
int16_t User::GetLanguageID() const {
  return HostCall(kSource, [&] { return Variant(Bound().language).ToInteger(); });
}
std::string User::GetEmailAddress() const { return Bound().email; }
std::string User::GetFamilyName() const { return Bound().family; }
std::string User::GetGivenName() const { return Bound().given; }

bool User::IsUserOfType(Variant& user_type) const {
  return HostCall(kSource, [&] {
    const int32_t wanted = user_type.ToLong();
    const auto& types = Bound().types;
    return std::find(types.begin(), types.end(), wanted) != types.end();
  });
}

}  // namespace quorvan::host
