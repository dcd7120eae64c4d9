// The host components through their class identifiers, as the system reaches them.
#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include "host/vexa_membership/user.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/error_record.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using quorvan::testing::ErrorOf;

using testing::TestInstallation;

Variant GetValue(Object& configuration, const char* section, const char* key) {
  Variant args[] = {Variant(section), Variant(key)};
  return configuration.Invoke("GetValue", args);
}

TEST(ConfigurationTest, SelectedApplicationThenGlobalScope) {
  TestInstallation installation;
  installation.AppendConfig("[Gorlast/GLOBAL]\nAPPLICATIONDIRECTORY = gorlast-dir\n");
  ObjectPtr configuration = CreateObject("Solvagen.Configuration");
  EXPECT_EQ(GetValue(*configuration, "GLOBAL", "APPLICATIONDIRECTORY"), Variant("sourcing"));
  EXPECT_TRUE(
      GetValue(*configuration, "CONNECTIONS", "HadrellConnection_CommandTimeout").IsEmpty());
  configuration->Call("SelectApplication", "Fennick", 0);
  EXPECT_EQ(GetValue(*configuration, "connections", "hadrellconnection_commandtimeout"),
            Variant("30"));
  EXPECT_EQ(GetValue(*configuration, "GLOBAL", "APPLICATIONDIRECTORY"), Variant("sourcing"));
  EXPECT_EQ(configuration->Call("IsApplicationInstalled", "Gorlast"), Variant(false));
  EXPECT_EQ(configuration->Call("IsApplicationInstalled", "fennick"), Variant(true));
  EXPECT_EQ(ErrorOf([&] { configuration->Call("SelectApplication", "Gorlast", 0); }).number, 5);
  Variant scope(0);
  Variant args[] = {scope};
  configuration->Invoke("SelectScope", args);
  EXPECT_TRUE(
      GetValue(*configuration, "CONNECTIONS", "HadrellConnection_CommandTimeout").IsEmpty());
}

TEST(ConfigurationTest, ConnectionStringsSitesAndInstallDirectory) {
  TestInstallation installation;
  ObjectPtr configuration = CreateObject("Solvagen.Configuration");
  EXPECT_EQ(configuration->Call("GetConnectionString", "Hadrell").ToString(),
            "Provider=SQLite;Data Source=" + installation.dir() + "/data/hadrell.db");
  EXPECT_EQ(configuration->Call("GetInstallDirectory").ToString(), installation.dir());
  ObjectPtr sites = configuration->Call("GetApplicationSites", "Fennick").ToObject();
  EXPECT_EQ(sites->GetProperty("Count"), Variant(1));
  ObjectPtr site = sites->Call("Item", "1").ToObject();
  EXPECT_EQ(site->GetProperty("ConfigDir").ToString(), installation.site_folder());
  const ErrorRecord missing =
      ErrorOf([&] { configuration->Call("GetConnectionString", "Nowhere"); });
  EXPECT_EQ(missing.number, 5);
  EXPECT_EQ(missing.source, "Solvagen.Configuration");
}

TEST(ConfigurationTest, SiteConfigurationAnswersItsOwnSectionsOnly) {
  TestInstallation installation;
  ObjectPtr configuration = CreateObject("Solvagen.Configuration");
  configuration->Call("LoadSiteConfiguration",
                      installation.site_folder() + "\\siteConfiguration.xml");
  EXPECT_EQ(GetValue(*configuration, "MEMBERSHIP", "MemScriptUser"), Variant("quorvan-bind"));
  EXPECT_EQ(GetValue(*configuration, "MEMBERSHIP", "LDAPRoot"), Variant(""));
  EXPECT_EQ(GetValue(*configuration, "GLOBAL", "SECUREHOSTNAME"), Variant("localhost"));
  EXPECT_EQ(
      ErrorOf([&] { configuration->Call("LoadSiteConfiguration", "/nonexistent/x.xml"); }).number,
      53);
}

TEST(ConfigurationTest, MissingConfigurationFileIsAClearError) {
  setenv("QUORVAN_CONFIG", "/nonexistent/quorvan.ini", 1);
  ObjectPtr configuration = CreateObject("Solvagen.Configuration");
  const ErrorRecord error =
      ErrorOf([&] { configuration->Call("IsApplicationInstalled", "Fennick"); });
  unsetenv("QUORVAN_CONFIG");
  EXPECT_EQ(error.number, 53);
  EXPECT_NE(error.description.find("/nonexistent/quorvan.ini"), std::string::npos);
}

TEST(LogTest, WriteEntryAppendsWholeEntries) {
  TestInstallation installation;
  ObjectPtr log = CreateObject("Solvagen.Log");
  for (const char* message : {"first\r\nline two", "second"}) {
    Variant args[] = {Variant("Some.Source"), Variant(message), Variant(0)};
    log->Invoke("WriteEntry", args);
  }
  const std::string text = installation.ReadLog();
  EXPECT_NE(text.find("level=0 source=Some.Source\nfirst\r\nline two\n\n"), std::string::npos);
  EXPECT_LT(text.find("first"), text.find("second"));
}

TEST(MembershipUserTest, BindsKnownUsersOnlyWithTheRightAccount) {
  TestInstallation installation;
  installation.AddUser({"jdoe", "Jane", "Doe", "jane@example.org", "1041", 1041, {6}});
  const std::string path = installation.site_folder() + "\\siteConfiguration.xml";
  ObjectPtr user = CreateObject("VexaMembership.User");
  user->Call("setServerInfo", path);
  EXPECT_EQ(ErrorOf([&] { user->Call("GetEmailAddress"); }).number, 91);
  EXPECT_EQ(ErrorOf([&] { user->Call("BindAs", "jdoe", "quorvan-bind", "wrong"); }).number,
            host::kLogonFailure);
  EXPECT_EQ(ErrorOf([&] { user->Call("BindAs", "nobody", "quorvan-bind", "change-me"); }).number,
            host::kNoSuchObject);
  user->Call("BindAs", "JDOE", "quorvan-bind", "change-me");
  EXPECT_EQ(user->Call("GetEmailAddress"), Variant("jane@example.org"));
  EXPECT_EQ(user->Call("GetLocaleID"), Variant("1041"));
  EXPECT_EQ(user->Call("GetLanguageID"), Variant(int16_t{1041}));
  EXPECT_EQ(user->Call("GetFamilyName"), Variant("Doe"));
  EXPECT_EQ(user->Call("GetGivenName"), Variant("Jane"));
  EXPECT_EQ(user->Call("IsUserOfType", int16_t{6}), Variant(true));
  EXPECT_EQ(user->Call("IsUserOfType", int16_t{2}), Variant(false));
}

TEST(SqlLiteralTest, LiteralsByType) {
  ObjectPtr formatter = CreateObject("VexaLibrary.Utilities");
  struct Case {
    const char* member;
    Variant value;
    const char* literal;
  };
  const Case cases[] = {
      {"FormatString", Variant("O'Brien"), "'O''Brien'"},
      {"FormatInsertString", Variant("''"), "''''''"},
      {"FormatString", Variant("a\\b; DROP"), "'a\\b; DROP'"},
      {"FormatString", Variant(""), "''"},
      {"FormatString", Variant::Null(), "NULL"},
      {"FormatString", Variant(12), "'12'"},
      {"FormatLong", Variant("42"), "42"},
      {"FormatLong", Variant(-2147483647 - 1), "-2147483648"},
      {"FormatDouble", Variant(0.1), "0.1"},
      {"FormatDouble", Variant(1e20), "1e+20"},
      {"FormatDouble", Variant(-0.0), "0"},
      {"FormatDate", Variant::FromDate(36526.5), "'2000-01-01 12:00:00'"},
      {"FormatDate", Variant("2005-07-03T14:30:05"), "'2005-07-03 14:30:05'"},
      {"FormatLong", Variant::Null(), "NULL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.member);
    EXPECT_EQ(formatter->Call(c.member, c.value).ToString(), c.literal);
  }
  EXPECT_EQ(ErrorOf([&] { formatter->Call("FormatString", std::string("a\0b", 3)); }).number, 5);
  EXPECT_EQ(ErrorOf([&] { formatter->Call("FormatLong", "x"); }).number, 13);
  EXPECT_EQ(ErrorOf([&] { formatter->Call("FormatLong", "x"); }).source, "VexaLibrary.Utilities");
}

}  // namespace
}  // namespace quorvan
