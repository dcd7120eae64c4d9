// The quorvan tool end to end: a real installation, the real binary, real modules.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/support/test_installation.h"
#include "tests/support/tool_runner.h"

namespace quorvan::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ToolTest, InitCreatesAnInstallationAndRefusesToOverwriteIt) {
  TestInstallation installation;
  const std::string dir = installation.dir() + "/second";
  const ToolRun first = RunTool({"init", dir});
  EXPECT_EQ(first.exit_status, 0);
  for (const char* file :
       {"quorvan.ini", "site/siteConfiguration.xml", "site/users.json", "log/quorvan.log"}) {
    EXPECT_TRUE(std::filesystem::exists(dir + "/" + file)) << file;
  }
  const ToolRun again = RunTool({"init", dir});
  EXPECT_EQ(again.exit_status, 1);
  EXPECT_TRUE(Contains(again.out, "\"number\": 58")) << again.out;
}

TEST(ToolTest, CallPrintsResultOrTheLaidOutErrorRecord) {
  TestInstallation installation;
  const ToolRun label =
      RunTool({"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "-2147219479"});
  EXPECT_EQ(label.exit_status, 0);
  EXPECT_EQ(label.out, "{\"result\": \"SLBCE1001\", \"byref\": {}}\n");

  const ToolRun named = RunTool({"call", "QuorvanUtility.ErrorHandler", "CheckIfTesmikError",
                                 "--named", "i_lErrorNumber=-2147220479"});
  EXPECT_EQ(named.out, "{\"result\": true, \"byref\": {}}\n");

  const ToolRun overflow =
      RunTool({"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "263168"});
  EXPECT_EQ(overflow.exit_status, 1);
  EXPECT_EQ(
      overflow.out,
      "{\"error\": {\"number\": 6, \"hex\": \"6\", \"source\": \"QuorvanUtility\", "
      "\"description\": "
      "\"\\r\\nERROR 0x6\\r\\n METHOD: QuorvanUtility.ErrorHandler.GetErrorLabelCode\\r\\n DESC: "
      "Overflow.\\r\\n\", \"helpFile\": \"\", \"helpContext\": 0}}\n");
  EXPECT_TRUE(
      Contains(installation.ReadLog(), "METHOD: QuorvanUtility.ErrorHandler.GetErrorLabelCode"));
}

TEST(ToolTest, ByReferenceParametersAreReported) {
  TestInstallation installation;
  const ToolRun run = RunTool(
      {"call", "Solvagen.Configuration", "GetValue", "\"COMMONPARAMETERS\"", "\"SSLMODE\""});
  EXPECT_EQ(run.out,
            "{\"result\": \"None\", \"byref\": {\"Section\": \"COMMONPARAMETERS\", \"Key\": "
            "\"SSLMODE\"}}\n");
}

TEST(ToolTest, BadInputGivesErrorRecordsOrUsageErrors) {
  TestInstallation installation;
  struct Case {
    std::vector<std::string> args;
    int exit_status;
    const char* expected;  // part of the output; empty for usage errors (stderr)
  };
  const Case cases[] = {
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "{bad"}, 2, ""},
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "{\"$nope\": 1}"}, 2, ""},
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "--bogus"}, 2, ""},
      {{"--bogus", "call"}, 2, ""},
      {{"frobnicate"}, 2, ""},
      {{"call", "QuorvanUtility.ErrorHandler"}, 2, ""},
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "1", "2"},
       1,
       "\"number\": 450"},
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode"}, 1, "\"number\": 449"},
      {{"call", "QuorvanUtility.ErrorHandler", "GetErrorLabelCode", "\"x\""}, 1, "\"number\": 13"},
      {{"call", "QuorvanUtility.ErrorHandler", "NoSuchMember"}, 1, "\"number\": 438"},
      {{"call", "NoSuchLibrary.Thing", "X"}, 1, "\"number\": 429"},
      {{"call", "../../etc.passwd", "X"}, 1, "\"number\": 429"},
      {{"describe", "Nothing.Here"}, 1, "\"number\": 429"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.exit_status, c.exit_status) << run.out;
    EXPECT_TRUE(Contains(run.out, c.expected)) << run.out;
  }
}

TEST(ToolTest, MissingConfiguration) {
  TestInstallation installation;
  const ToolRun missing_file = RunTool({"--config", "/nonexistent/quorvan.ini", "call",
                                        "Solvagen.Configuration", "GetInstallDirectory"});
  EXPECT_EQ(missing_file.exit_status, 1);
  EXPECT_TRUE(Contains(missing_file.out, "\"number\": 53")) << missing_file.out;
  unsetenv("QUORVAN_CONFIG");
  EXPECT_EQ(RunTool({"call", "Solvagen.Configuration", "GetInstallDirectory"}).exit_status, 2);
}

TEST(ToolTest, ScriptRunsStepsInOneScopeAndStopsAtTheFirstError) {
  TestInstallation installation;
  const std::string script = R"({
    "steps": [
      {"set": "config", "create": "Solvagen.Configuration"},
      {"set": "section", "value": "GLOBAL"},
      {"call": "config", "method": "GetValue", "args": [{"$var": "section"}, "APPLICATIONDIRECTORY"], "set": "dir"},
      {"call": "config", "method": "GetApplicationSites", "args": ["Fennick"], "set": "sites"},
      {"set": "h", "create": "QuorvanUtility.ErrorHandler"},
      {"call": "h", "method": "GetErrorLabelCode", "args": [263168]},
      {"call": "h", "method": "GetTesmikIdentifier", "set": "never"}
    ]})";
  const ToolRun run = RunTool({"script", "-"}, script);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_TRUE(Contains(run.out, "\"dir\": \"sourcing\"")) << run.out;
  EXPECT_TRUE(
      Contains(run.out, "\"byref\": {\"Section\": \"GLOBAL\", \"Key\": \"APPLICATIONDIRECTORY\"}"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "\"config\": {\"$object\": \"config\"}")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"sites\": {\"$dict\": [[\"1\", {\"$object\": \"_1\"}]]}"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "\"error\": {\"number\": 6")) << run.out;
  EXPECT_FALSE(Contains(run.out, "\"never\"")) << run.out;
}

TEST(ToolTest, ScriptShapeIsCheckedBeforeAnythingRuns) {
  TestInstallation installation;
  for (const char* script :
       {R"({"steps": [{"set": "x", "create": "Scripting.Dictionary"}, {"cal": "x"}]})",
        R"({"steps": [{"call": "x"}]})", R"({"step": []})", "[1]", "{"}) {
    SCOPED_TRACE(script);
    EXPECT_EQ(RunTool({"script", "-"}, script).exit_status, 2);
  }
  const ToolRun form =
      RunTool({"script", "-"}, R"({"form": {"fields": [["TXT_A", ["1"]], ["b", ["2", "3"]]]},
      "steps": [{"set": "f", "value": {"$form": true}},
                {"call": "f", "method": "Item", "args": ["B"], "set": "field"},
                {"call": "field", "method": "Item", "args": [2], "set": "second"}]})");
  EXPECT_EQ(form.exit_status, 0) << form.out;
  EXPECT_TRUE(Contains(form.out, "\"second\": \"3\"")) << form.out;
}

TEST(ToolTest, DescribeShowsSlotsAndEnumerations) {
  const ToolRun alert_type = RunTool({"describe", "EAlertType"});
  EXPECT_EQ(alert_type.exit_status, 0);
  EXPECT_TRUE(Contains(alert_type.out, "[\"RFQForDrafting\", 1]"));
  EXPECT_TRUE(Contains(alert_type.out, "[\"AuditCancelled\", 28]"));
  const ToolRun general = RunTool({"describe", "QuorvanGeneral.EAllOrSpecific"});
  EXPECT_TRUE(Contains(general.out, "[\"Specific\", 2]")) << general.out;
  const ToolRun checker = RunTool({"describe", "QuorvanGeneral.RIChecker"});
  EXPECT_TRUE(Contains(
      checker.out,
      "\"clsid\": \"{cf6eee7a-3b52-405d-bd8a-0b7835739044}\", \"iid\": "
      "\"{7376971e-7bd9-4b0e-b852-dc8a1e881495}\", \"interface\": \"IReferentialIntegrity\""))
      << checker.out;
  TestInstallation installation;  // calls need a configuration
  const ToolRun by_guid = RunTool(
      {"call", "{CF6EEE7A-3B52-405D-BD8A-0B7835739044}", "BeforeDelete", "\"x\"", "1", "2"});
  EXPECT_EQ(
      by_guid.out,
      "{\"result\": true, \"byref\": {\"i_sOrigin\": \"x\", \"i_aKeys\": 1, \"i_aValues\": 2}}\n");
  const ToolRun handler = RunTool({"describe", "QuorvanUtility.ErrorHandler"});
  EXPECT_TRUE(Contains(handler.out,
                       "{\"slot\": 2, \"name\": \"CheckIfTesmikError\", \"kind\": \"method\", "
                       "\"params\": [{\"name\": \"i_lErrorNumber\", \"type\": \"Long\""))
      << handler.out;
}

TEST(ToolTest, UserDirectoryCommands) {
  TestInstallation installation;
  EXPECT_EQ(RunTool({"user", "add", "sup1", "--given", "Sam", "--family", "Vendor", "--email",
                     "sam@example.org", "--locale", "1031", "--language", "1031", "--type", "6",
                     "--type", "3"})
                .exit_status,
            0);
  EXPECT_EQ(RunTool({"user", "add", "x", "--language", "abc"}).exit_status, 2);
  const ToolRun list = RunTool({"user", "list"});
  EXPECT_TRUE(Contains(list.out, "\"id\": \"sup1\"")) << list.out;
  EXPECT_TRUE(Contains(list.out, "\"types\": [6, 3]")) << list.out;
  const ToolRun bound =
      RunTool({"script", "-"}, R"({"steps": [
      {"set": "u", "create": "VexaMembership.User"},
      {"call": "u", "method": "setServerInfo", "args": [")" +
                                   installation.site_folder() + R"(/siteConfiguration.xml"]},
      {"call": "u", "method": "BindAs", "args": ["SUP1", "quorvan-bind", "change-me"]},
      {"call": "u", "method": "GetLocaleID", "set": "locale"}]})");
  EXPECT_TRUE(Contains(bound.out, "\"locale\": \"1031\"")) << bound.out;
}

TEST(ToolTest, InitCreatesTheEmbeddedDatabasesAndDbQueryRunsTheComponentDialect) {
  TestInstallation installation;
  EXPECT_TRUE(std::filesystem::exists(installation.dir() + "/data/hadrell.db"));
  EXPECT_TRUE(std::filesystem::exists(installation.dir() + "/data/jassoway.db"));
  const ToolRun insert = RunTool({"db", "query",
                                  "INSERT ALERT(ALERTTYPE, RECEIVERID, GENERATIONDATE) VALUES (4, "
                                  "'o''neil', '2024-01-01 10:00:00')"});
  EXPECT_EQ(insert.out, "{\"fields\": [], \"rows\": [], \"recordsAffected\": 1}\n");
  const ToolRun select =
      RunTool({"db", "query", "SELECT TOP 1 ALERTERID, RECEIVERID, EXPIRED FROM ALERT"});
  EXPECT_EQ(select.out,
            "{\"fields\": [{\"name\": \"ALERTERID\", \"type\": 3}, {\"name\": \"RECEIVERID\", "
            "\"type\": 203}, "
            "{\"name\": \"EXPIRED\", \"type\": 2}], \"rows\": [[1, \"o'neil\", {\"$int\": 0}]], "
            "\"recordsAffected\": -1}\n");
  const ToolRun second = RunTool({"db", "query", "DELETE FROM ALERT; DROP TABLE ALERT"});
  EXPECT_EQ(second.exit_status, 1);
  EXPECT_TRUE(Contains(second.out, "80040E14")) << second.out;
  EXPECT_TRUE(Contains(RunTool({"db", "query", "SELECT COUNT(*) FROM ALERT"}).out, "[[1]]"));
  EXPECT_EQ(RunTool({"db", "query", "--app", "Other", "SELECT 1"}).exit_status, 2);
  const ToolRun again = RunTool({"db", "init"});
  EXPECT_EQ(again.exit_status, 0) << again.out;
}

TEST(ToolTest, InitOnPostgreSQL) {
  const char* server = std::getenv("QUORVAN_TEST_POSTGRES");
  ASSERT_NE(server, nullptr) << "run through scripts/test, which starts PostgreSQL";
  TestInstallation installation;
  const std::string dir = installation.dir() + "/pg";
  const std::string connection =
      std::string(server) + ";Schema=tool_init_" + std::to_string(getpid());
  const ToolRun init = RunTool({"init", dir, "--connection", connection});
  ASSERT_EQ(init.exit_status, 0) << init.out;
  EXPECT_TRUE(Contains(ReadWholeFile(dir + "/quorvan.ini"), "Hadrell = " + connection));
  const ToolRun insert = RunTool({"--config", dir + "/quorvan.ini", "db", "query",
                                  "INSERT ATTACHMENT(OBJECTTYPE, HEADERID, FILENAME, CREATEDON) "
                                  "VALUES (1, 2, 'a.pdf', '2024-01-01 00:00:00')"});
  EXPECT_TRUE(Contains(insert.out, "\"recordsAffected\": 1")) << insert.out;
  const ToolRun select = RunTool({"--config", dir + "/quorvan.ini", "db", "query",
                                  "SELECT TOP 1 ATTACHMENTID, INTERNAL FROM ATTACHMENT"});
  EXPECT_TRUE(Contains(select.out, "[[1, {\"$int\": 0}]]")) << select.out;
  const ToolRun unreachable =
      RunTool({"init", installation.dir() + "/nowhere", "--connection",
               "Provider=PostgreSQL;Host=127.0.0.1;Port=1;Database=x;User ID=x"});
  EXPECT_EQ(unreachable.exit_status, 1);
  EXPECT_FALSE(std::filesystem::exists(installation.dir() + "/nowhere/quorvan.ini"));
  RunTool({"--config", dir + "/quorvan.ini", "db", "query",
           "DROP SCHEMA tool_init_" + std::to_string(getpid()) + " CASCADE"});
}

TEST(ToolTest, ScheduledJobsReportWhatTheyChanged) {
  TestInstallation installation;
  for (const char* values : {"(4, 'ann', '2024-01-01 10:00:00', 2, 1, 0)",
                             "(4, 'bob', '2024-01-01 10:00:00', 1, 0, 0)"}) {
    RunTool({"db", "query",
             std::string(
                 "INSERT ALERT(ALERTTYPE, RECEIVERID, GENERATIONDATE, NOTIFICATIONTYPE, MAILSENT, "
                 "EXPIRED) VALUES ") +
                 values});
  }
  const ToolRun expire = RunTool({"run", "expire-alerts"});
  EXPECT_EQ(expire.exit_status, 0);
  EXPECT_TRUE(Contains(expire.out, "{\"job\": \"expire-alerts\", \"expired\": 1, ")) << expire.out;
  const ToolRun remove = RunTool({"run", "delete-expired-alerts"});
  EXPECT_TRUE(Contains(remove.out, "\"deleted\": 1")) << remove.out;
  EXPECT_TRUE(
      Contains(RunTool({"db", "query", "SELECT RECEIVERID FROM ALERT"}).out, "[[\"bob\"]]"));
  EXPECT_EQ(RunTool({"run", "nothing"}).exit_status, 2);
  installation.AppendConfig(
      "[connections]\nHadrell = Provider=SQLite;Data Source=/nonexistent/x.db\n");
  const ToolRun broken = RunTool({"run", "expire-alerts"});
  EXPECT_EQ(broken.exit_status, 1);
  EXPECT_TRUE(Contains(broken.out, "\"error\"")) << broken.out;
}

TEST(ToolTest, PagesHelpersWorkFromScripts) {
  TestInstallation installation;
  const ToolRun run =
      RunTool({"script", "-"}, R"({"form": {"fields": [["TXT_A", ["1"]], ["b", ["2", "3"]]]},
      "steps": [{"set": "g", "create": "QuorvanUtility.General"},
                {"call": "g", "method": "GetFormVariable", "args": [{"$form": true}, "B"], "set": "joined"},
                {"call": "g", "method": "ValidateFormVarForLength", "args": [{"$form": true}, "b", 1], "set": "fits"},
                {"call": "g", "method": "getValidTimeString", "args": ["9:5", 1033], "set": "time"},
                {"call": "g", "method": "DateTime", "args": [{"$date": "2024-03-05T07:08:09"}, 2057, true],
                 "set": "date"}]})");
  EXPECT_EQ(run.exit_status, 0) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"joined\": \"23\"")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"fits\": false")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"time\": \"09:05\"")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"date\": \"05/03/2024 07:08\"")) << run.out;
  const std::string folder =
      installation.dir() + "\\\\made\\\\here";  // "\" separators, JSON-escaped
  EXPECT_EQ(RunTool({"call", "QuorvanUtility.FileSystem", "CreateFileWithFolder", "\"hello\"",
                     "\"" + folder + "\"", "\"f.txt\""})
                .exit_status,
            0);
  EXPECT_EQ(ReadWholeFile(installation.dir() + "/made/here/f.txt"),
            std::string("\xFF\xFEh\0e\0l\0l\0o\0", 12));
  const ToolRun missing =
      RunTool({"call", "QuorvanUtility.FileSystem", "DeleteFile", "\"/nonexistent/x\""});
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_TRUE(Contains(missing.out, "\"number\": 53")) << missing.out;
}

TEST(ToolTest, FormCacheFromAScriptAndItsGarbageJob) {
  TestInstallation installation;
  const ToolRun run =
      RunTool({"script", "-"}, R"({"form": {"fields": [["TXT_A", ["1"]], ["b", ["2", "3"]]]},
      "steps": [{"set": "cache", "create": "QuorvanUtility.FormCache"},
                {"set": "key", "value": ""},
                {"call": "cache", "method": "InitializeCache", "args": [8812, "RFQ17", {"$var": "key"}]},
                {"call": "cache", "method": "UpdateCache", "args": [{"$form": true}]},
                {"set": "v", "call": "cache", "method": "GetValueFromCache", "args": ["b"]},
                {"release": "cache"}]})");
  EXPECT_EQ(run.exit_status, 0) << run.out;
  EXPECT_TRUE(Contains(run.out, "\"v\": \"2, 3\"")) << run.out;
  const std::string cache = installation.dir() + "/Tesmik/FileStorage/Application/Cache";
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(cache))
    files += entry.path().extension() == ".sca";
  EXPECT_EQ(files, 1u);
  const ToolRun kept = RunTool({"run", "collect-cache-garbage"});
  EXPECT_TRUE(Contains(kept.out, "\"removed\": 0, \"kept\": 1")) << kept.out;
  for (const auto& entry : std::filesystem::directory_iterator(cache)) {
    std::filesystem::last_write_time(
        entry.path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(72));
  }
  const ToolRun removed = RunTool({"run", "collect-cache-garbage"});
  EXPECT_TRUE(Contains(removed.out, "\"removed\": 1, \"kept\": 0")) << removed.out;
}

TEST(ToolTest, HelpForEveryCommand) {
  for (const char* command : {"init", "call", "script", "describe", "user", "db", "run"}) {
    const ToolRun help = RunTool({command, "--help"});
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_TRUE(Contains(help.out, std::string("usage: quorvan")));
  }
  EXPECT_TRUE(Contains(RunTool({"--help"}).out, "commands:"));
}

}  // namespace
}  // namespace quorvan::testing
