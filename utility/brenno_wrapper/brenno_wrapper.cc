#include "utility/brenno_wrapper/brenno_wrapper.h"

#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/dictionary.h"
#include "platform/data/ado_constants.h"
#include "shared/general.h"
#include "shared/method_shape.h"

namespace quorvan::utility {
namespace {

Variant ValueOf(Object& configuration, const char* section, const char* key) {
  Variant args[] = {Variant(section), Variant(key)};
  return configuration.Invoke("GetValue", args);
}

std::string ValueText(Object& configuration, const char* section, const char* key) {
  return ValueOf(configuration, section, key).ToString();
}

}  // namespace

const ClassInfo& BrennoWrapper::Info() {
  static const ClassInfo info =
      ClassBuilder<BrennoWrapper>("QuorvanUtility.BrennoWrapper")
          .Method<&BrennoWrapper::GetSiteUrl>("GetSiteUrl")
          .Method<&BrennoWrapper::GetUserObject>("GetUserObject", {In("i_sUserID")}, "Object")
          .Method<&BrennoWrapper::usrCreateLanguageChoice>("usrCreateLanguageChoice", {},
                                                           "Dictionary")
          .Build();
  return info;
}

std::string BrennoWrapper::GetSiteUrl() {
  return shared::MethodShape("QuorvanUtility.BrennoWrapper.GetSiteUrl").Run([&] {
    ObjectPtr configuration = shared::GetComponent("Solvagen.Configuration").ToObject();
    Variant scope(0);
    Variant args[] = {scope};
    configuration->Invoke("SelectScope", args);
    const bool plain =
        EqualsIgnoringCase(ValueText(*configuration, "COMMONPARAMETERS", "SSLMODE"), "None");
    std::string url = plain ? "http://" + ValueText(*configuration, "GLOBAL", "NONSECUREHOSTNAME")
                            : "https://" + ValueText(*configuration, "GLOBAL", "SECUREHOSTNAME");
    return url + "/" + ValueText(*configuration, "GLOBAL", "APPLICATIONDIRECTORY") + "/";
  });
}

ObjectPtr BrennoWrapper::GetUserObject(const std::string& i_sUserID) {
  return shared::MethodShape("QuorvanUtility.BrennoWrapper.GetUserObject")
      .Info([&] {
        return Variant("User Object could not be loaded for user : " + i_sUserID +
                       ". Check if this user exists!!");
      })
      .Run([&] {
        const shared::MembershipBinding binding = shared::ReadMembershipBinding();
        ObjectPtr user = CreateObject("VexaMembership.User");
        user->Call("setServerInfo", binding.site_configuration_path);
        user->Call("BindAs", i_sUserID, binding.bind_account, binding.bind_code);
        return user;
      });
}

ObjectPtr BrennoWrapper::usrCreateLanguageChoice() {
  return shared::MethodShape("QuorvanUtility.BrennoWrapper.usrCreateLanguageChoice").Run([&] {
    shared::ScopedConnection connection(getJassowayConnection());
    shared::ScopedRecordset rows(data::Recordset::Create());
    rows->SetCursorType(data::kOpenForwardOnly);
    rows->SetLockType(data::kLockReadOnly);
    rows->Open(Variant("SELECT LOCALEID, LANGUAGEDESCRIPTION FROM INSTALLEDLANGUAGE ORDER BY "
                       "LANGUAGEDESCRIPTION"),
               Variant(ObjectPtr(connection.get())), Variant::Missing(), Variant::Missing(),
               Variant::Missing());
    auto languages = Dictionary::Create();
    for (; !rows->AtEnd(); rows->MoveNext()) {
      languages->Add(Variant(rows->Value(Variant("LOCALEID")).ToString()),
                     rows->Value(Variant("LANGUAGEDESCRIPTION")));
    }
    return ObjectPtr(languages);
  });
}

shared::ConnectionPtr BrennoWrapper::getJassowayConnection() {
  return shared::MethodShape("QuorvanUtility.BrennoWrapper.getJassowayConnection").Run([&] {
    auto connection = data::Connection::Create();
    ObjectPtr configuration = shared::GetComponent("Solvagen.Configuration").ToObject();
    configuration->Call("SelectApplication", "VexaServer", 0);
    connection->SetConnectionString(
        configuration->Call("GetConnectionString", "Jassoway").ToString());
    connection->SetCommandTimeout(
        ValueOf(*configuration, "CONNECTIONS", "JassowayConnection_CommandTimeout").ToLong());
    connection->SetConnectionTimeout(
        ValueOf(*configuration, "CONNECTIONS", "JassowayConnection_ConnectionTimeout").ToLong());
    connection->SetCursorLocation(
        ValueOf(*configuration, "CONNECTIONS", "JassowayConnection_CursorLocation").ToLong());
    connection->Open(Variant(""), Variant(""), Variant(""), Variant(-1));
    connection->ExecuteStatement("SET TRANSACTION ISOLATION LEVEL READ COMMITTED", nullptr);
    return connection;
  });
}

}  // namespace quorvan::utility
