#include "shared/error_handler.h"

#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include "platform/automation/current_error.h"
#include "shared/method_shape.h"
#include "tests/support/test_installation.h"

namespace quorvan::shared {
namespace {

using quorvan::testing::ErrorOf;

using quorvan::testing::TestInstallation;

constexpr int32_t kAlertDoesNotExist = static_cast<int32_t>(0x800407E9u);

TEST(FormatErrorMessageTest, Layouts) {
  struct Case {
    const char* description;
    int32_t number;
    ErrorInfo info;
    const char* expected;
  };
  const Case cases[] = {
      {"Alert does not exist", kAlertDoesNotExist, std::nullopt,
       "\r\nERROR 0x800407E9\r\n METHOD: S\r\n DESC: Alert does not exist.\r\n"},
      {"Ends with a period.", 5, std::nullopt,
       "\r\nERROR 0x5\r\n METHOD: S\r\n DESC: Ends with a period..\r\n"},
      {"d", 6, Variant("id 7"), "\r\nERROR 0x6\r\n METHOD: S\r\n DESC: d.\r\n INFO: id 7.\r\n"},
      {"d", -1, Variant(""), "\r\nERROR 0xFFFFFFFF\r\n METHOD: S\r\n DESC: d.\r\n INFO: .\r\n"},
      {"", static_cast<int32_t>(0x80040E14u), Variant(12),
       "\r\nERROR 0x80040E14\r\n METHOD: S\r\n DESC: .\r\n INFO: 12.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(FormatErrorMessage(c.description, c.number, "S", c.info), c.expected);
  }
}

TEST(HandleErrorTest, NoCurrentErrorNeitherLogsNorRaises) {
  TestInstallation installation;
  ClearCurrentError();
  EXPECT_NO_THROW(HandleError("Any.Source"));
  EXPECT_EQ(installation.ReadLog(), "");
}

TEST(HandleErrorTest, RaisesTheLaidOutRecordAndLogsItTwiceLaidOut) {
  TestInstallation installation;
  const ErrorRecord raised = ErrorOf([] {
    CurrentError() = ErrorRecord{kAlertDoesNotExist, "", "Alert does not exist", "help.chm", 7};
    HandleError("QuorvanGeneral.Alert.UpdateStatus");
  });
  const std::string inner =
      "\r\nERROR 0x800407E9\r\n METHOD: QuorvanGeneral.Alert.UpdateStatus\r\n DESC: Alert does not "
      "exist.\r\n";
  EXPECT_EQ(raised.number, kAlertDoesNotExist);
  EXPECT_EQ(raised.source, "Tesmik - Ardwynet");
  EXPECT_EQ(raised.description, inner);
  EXPECT_EQ(raised.help_file, "help.chm");
  EXPECT_EQ(raised.help_context, 7);
  const std::string logged =
      "\r\nERROR 0x800407E9\r\n METHOD: QuorvanGeneral.Alert.UpdateStatus\r\n DESC: " + inner +
      ".\r\n";
  EXPECT_NE(installation.ReadLog().find("source=Tesmik - Ardwynet\n" + logged), std::string::npos);
  EXPECT_EQ(CurrentError().number, 0);  // cleared by the outer entry
}

TEST(HandleErrorTest, AFailingLogChangesNothing) {
  TestInstallation installation;
  installation.AppendConfig("[log]\nFile = " + installation.dir() +
                            "\n");  // a folder: cannot append
  const ErrorRecord raised = ErrorOf([] {
    CurrentError() = ErrorRecord{5, "Db", "bad", "", 0};
    HandleError("M", Variant("x"));
  });
  EXPECT_EQ(raised.number, 5);
  EXPECT_EQ(raised.source, "Db");
  EXPECT_EQ(raised.description, "\r\nERROR 0x5\r\n METHOD: M\r\n DESC: bad.\r\n INFO: x.\r\n");
}

TEST(HandleErrorTest, InfoWithoutATextFormIsTheNewFailure) {
  TestInstallation installation;
  const ErrorRecord raised = ErrorOf([] {
    CurrentError() = ErrorRecord{5, "Db", "bad", "", 0};
    HandleError("M", Variant::Null());
  });
  EXPECT_EQ(raised.number, 94);
}

// A guarded procedure that fails while releasing, as cleanup code may.
struct FailingRelease {
  ~FailingRelease() {
    try {
      MethodShape("Lib_DataAccess.CloseConnection").Run([] { RaiseError(3704, "Db", "closed"); });
    } catch (const AutomationError&) {
      // destructors never throw
    }
  }
};

TEST(MethodShapeTest, EachLayerWrapsOnceAndCleanupNeverReplacesTheFirstError) {
  TestInstallation installation;
  const ErrorRecord raised = ErrorOf([] {
    MethodShape("Outer.Class.Method").Run([] {
      MethodShape("Inner.Class.Method").Info([] { return Variant("key 9"); }).Run([] {
        FailingRelease release;
        RaiseError(-2147217900, "Provider", "Syntax error");
      });
    });
  });
  EXPECT_EQ(raised.number, -2147217900);
  EXPECT_EQ(raised.source, "Provider");
  const std::string inner =
      "\r\nERROR 0x80040E14\r\n METHOD: Inner.Class.Method\r\n DESC: Syntax error.\r\n INFO: key "
      "9.\r\n";
  EXPECT_EQ(raised.description,
            "\r\nERROR 0x80040E14\r\n METHOD: Outer.Class.Method\r\n DESC: " + inner + ".\r\n");
  const std::string log = installation.ReadLog();
  EXPECT_EQ(log.find("closed"), std::string::npos) << "cleanup failure was handled as an error";
  EXPECT_NE(log.find("METHOD: Inner.Class.Method"), std::string::npos);
}

TEST(MethodShapeTest, RuntimeErrorsAreNamedAfterTheModuleAndResultsStartEmpty) {
  TestInstallation installation;
  SetProjectName("QuorvanUtility");
  const ErrorRecord raised =
      ErrorOf([] { MethodShape("QuorvanUtility.X.Y").Run([] { return Variant("x").ToLong(); }); });
  SetProjectName("Quorvan");
  EXPECT_EQ(raised.number, 13);
  EXPECT_EQ(raised.source, "QuorvanUtility");
  EXPECT_EQ(MethodShape("A.B").Run([] { return 5; }), 5);
}

TEST(MethodShapeTest, NonAutomationExceptionsBecomeInternalErrors) {
  TestInstallation installation;
  const ErrorRecord raised =
      ErrorOf([] { MethodShape("A.B").Run([]() -> int { throw std::runtime_error("boom"); }); });
  EXPECT_EQ(raised.number, 51);
  EXPECT_NE(raised.description.find("boom"), std::string::npos);
}

}  // namespace
}  // namespace quorvan::shared
