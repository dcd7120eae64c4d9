#include "host/vexa_membership/user_directory.h"

#include <Poco/Exception.h>
#include <Poco/JSON/Array.h>
#include <Poco/JSON/Object.h>
#include <Poco/JSON/Parser.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/automation/class_info.h"
#include "platform/automation/error_record.h"

namespace quorvan::host {
namespace {

constexpr int32_t kPathFileAccessError = 75;

DirectoryUser UserFromJson(const Poco::JSON::Object& json) {
  DirectoryUser user;
  user.id = json.getValue<std::string>("id");
  user.given = json.optValue<std::string>("given", "");
  user.family = json.optValue<std::string>("family", "");
  user.email = json.optValue<std::string>("email", "");
  user.locale = json.optValue<std::string>("locale", "1033");
  user.language = json.optValue<int32_t>("language", 1033);
  if (auto types = json.getArray("types")) {
    for (size_t i = 0; i < types->size(); ++i)
      user.types.push_back(types->getElement<int32_t>(static_cast<unsigned>(i)));
  }
  return user;
}

Poco::JSON::Object::Ptr UserToJson(const DirectoryUser& user) {
  Poco::JSON::Object::Ptr json = new Poco::JSON::Object(Poco::JSON_PRESERVE_KEY_ORDER);
  json->set("id", user.id);
  json->set("given", user.given);
  json->set("family", user.family);
  json->set("email", user.email);
  json->set("locale", user.locale);
  json->set("language", user.language);
  Poco::JSON::Array::Ptr types = new Poco::JSON::Array();
  for (int32_t type : user.types) types->add(type);
  json->set("types", types);
  return json;
}

}  // namespace

UserDirectory UserDirectory::Load(const std::string& path) {
  UserDirectory directory;
  directory.path_ = path;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return directory;
  try {
    std::ifstream in(path);
    Poco::JSON::Parser parser;
    const auto root = parser.parse(in).extract<Poco::JSON::Object::Ptr>();
    const auto users = root->getArray("users");
    if (!users) return directory;
    for (size_t i = 0; i < users->size(); ++i) {
      directory.users_.push_back(UserFromJson(*users->getObject(static_cast<unsigned>(i))));
    }
  } catch (const Poco::Exception& failure) {
    RaiseRuntimeError(kPathFileAccessError,
                      "user directory " + path + ": " + failure.displayText());
  } catch (const std::exception& failure) {
    RaiseRuntimeError(kPathFileAccessError, "user directory " + path + ": " + failure.what());
  }
  return directory;
}

const DirectoryUser* UserDirectory::Find(const std::string& id) const {
  for (const DirectoryUser& user : users_) {
    if (EqualsIgnoringCase(user.id, id)) return &user;
  }
  return nullptr;
}

void UserDirectory::Upsert(DirectoryUser user) {
  for (DirectoryUser& existing : users_) {
    if (EqualsIgnoringCase(existing.id, user.id)) {
      existing = std::move(user);
      return;
    }
  }
  users_.push_back(std::move(user));
}

void UserDirectory::Save() const {
  Poco::JSON::Object root(Poco::JSON_PRESERVE_KEY_ORDER);
  Poco::JSON::Array::Ptr users = new Poco::JSON::Array();
  for (const DirectoryUser& user : users_) users->add(UserToJson(user));
  root.set("users", users);
  const std::string temporary = path_ + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    root.stringify(out, 2);
    out << "\n";
    out.flush();
    if (!out) RaiseRuntimeError(kPathFileAccessError, "cannot write " + temporary);
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    RaiseRuntimeError(kPathFileAccessError, "cannot replace " + path_);
  }
}

}  // namespace quorvan::host
