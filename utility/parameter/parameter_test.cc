// "QuorvanUtility.Parameter" and "QuorvanUtility.BrennoWrapper" through late binding.
#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"
#include "platform/automation/dictionary.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using testing::ErrorOf;
using testing::RunOnFreshThread;

TEST(ParameterTest, ReadsTheSelectedApplicationsParameters) {
  testing::TestInstallation installation;
  ObjectPtr parameter = CreateObject("QuorvanUtility.Parameter");
  EXPECT_EQ(parameter->Call("GetParameter", "ORIGINATINGEMAIL"), Variant("quorvan@localhost"));
  EXPECT_EQ(parameter->Call("GetParameter", "NO_SUCH_PARAMETER"), Variant(""));
  installation.AppendConfig(
      "[applications]\nInstalled = Gorlast\n[Gorlast/GLOBAL]\nORIGINATINGEMAIL = g@x\n");
  EXPECT_EQ(parameter->Call("GetParameter", "ORIGINATINGEMAIL"), Variant("g@x"));
  installation.AppendConfig("[applications]\nInstalled = Hadrell\n");
  EXPECT_EQ(parameter->Call("GetParameter", "ORIGINATINGEMAIL"), Variant(""));  // neither installed
  unsetenv("QUORVAN_CONFIG");
  const ErrorRecord error = ErrorOf([&] { parameter->Call("GetParameter", "FTP_PORT"); });
  EXPECT_NE(error.description.find(" METHOD: QuorvanUtility.Parameter.GetParameter\r\n"),
            std::string::npos);
  EXPECT_NE(error.description.find(" INFO: Retrieving FTP_PORT failed.\r\n"), std::string::npos);
}

TEST(BrennoWrapperTest, SiteAddressBySslMode) {
  testing::TestInstallation installation;
  ObjectPtr wrapper = CreateObject("QuorvanUtility.BrennoWrapper");
  EXPECT_EQ(wrapper->Call("GetSiteUrl"), Variant("http://localhost/sourcing/"));
  const std::pair<const char*, const char*> cases[] = {{"nOnE", "http://plain.example/app/"},
                                                       {"", "https://secure.example/app/"},
                                                       {"Required", "https://secure.example/app/"}};
  for (const auto& [mode, url] : cases) {
    installation.AppendConfig(
        std::string("[COMMONPARAMETERS]\nSSLMODE = ") + mode +
        "\n[GLOBAL]\nNONSECUREHOSTNAME = plain.example\nSECUREHOSTNAME = secure.example\n"
        "APPLICATIONDIRECTORY = app\n");
    EXPECT_EQ(wrapper->Call("GetSiteUrl"), Variant(url)) << mode;
  }
}

TEST(BrennoWrapperTest, GetUserObjectRaisesForUnknownUsers) {
  testing::TestInstallation installation;
  installation.AddUser({"jdoe", "Jane", "Doe", "j@x", "1033", 1033, {}});
  ObjectPtr wrapper = CreateObject("QuorvanUtility.BrennoWrapper");
  EXPECT_EQ(wrapper->Call("GetUserObject", "jdoe").ToObject()->Call("GetFamilyName"),
            Variant("Doe"));
  const ErrorRecord error = ErrorOf([&] { wrapper->Call("GetUserObject", "ghost"); });
  EXPECT_EQ(error.number, static_cast<int32_t>(0x80072030u));
  EXPECT_NE(error.description.find(" INFO: User Object could not be loaded for user : ghost. Check "
                                   "if this user exists!!.\r\n"),
            std::string::npos);
}

TEST(BrennoWrapperTest, LanguagesFromTheCommonDatabase) {
  testing::TestInstallation installation;
  testing::TestDatabase common(data::Provider::kSQLite);
  common.ApplySchema();
  installation.AppendConfig("[connections]\nJassoway = " + common.connection_string() + "\n");
  ObjectPtr wrapper = CreateObject("QuorvanUtility.BrennoWrapper");
  ObjectPtr installed = wrapper->Call("usrCreateLanguageChoice").ToObject();
  EXPECT_EQ(dynamic_cast<Dictionary&>(*installed).Count(),
            2);  // English and German come with the schema
  common.Run("DELETE FROM INSTALLEDLANGUAGE");
  ObjectPtr none = wrapper->Call("usrCreateLanguageChoice").ToObject();
  EXPECT_EQ(dynamic_cast<Dictionary&>(*none).Count(), 0);
  common.Run(
      "INSERT INTO INSTALLEDLANGUAGE (LOCALEID, LANGUAGEDESCRIPTION) VALUES (1041, 'Japanese')");
  common.Run(
      "INSERT INTO INSTALLEDLANGUAGE (LOCALEID, LANGUAGEDESCRIPTION) VALUES (1033, 'English')");
  ObjectPtr choice = wrapper->Call("usrCreateLanguageChoice").ToObject();
  auto& languages = dynamic_cast<Dictionary&>(*choice);
  ASSERT_EQ(languages.Count(), 2);
  EXPECT_EQ(languages.entries()[0].key, Variant("1033"));
  EXPECT_EQ(languages.entries()[0].item, Variant("English"));
}

}  // namespace
}  // namespace quorvan
