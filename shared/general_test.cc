#include "shared/general.h"

#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/object_context.h"
#include "tests/support/test_installation.h"

namespace quorvan::shared {
namespace {

using quorvan::testing::ErrorOf;

using quorvan::testing::TestInstallation;

// A transaction context that records what it was asked.
class RecordingContext : public ObjectContext {
 public:
  ObjectPtr CreateInstance(std::string_view class_id) override {
    created.emplace_back(class_id);
    return CreateObject(class_id);
  }
  void SetComplete() override { ++completes; }
  void SetAbort() override { ++aborts; }
  std::vector<std::string> created;
  int completes = 0;
  int aborts = 0;
};

TEST(GetComponentTest, UnknownClassOutsideATransaction) {
  TestInstallation installation;
  const ErrorRecord error = ErrorOf([] { GetComponent("No.Such"); });
  EXPECT_EQ(error.number, 429);
  EXPECT_NE(error.description.find(" METHOD: Lib_General.GetComponent\r\n"), std::string::npos);
  EXPECT_NE(error.description.find(" INFO: CreateObject(No.Such) failed.\r\n"), std::string::npos);
}

TEST(GetComponentTest, InsideATransactionTheContextCreatesAndVotes) {
  TestInstallation installation;
  RecordingContext context;
  ObjectContext::SetCurrent(&context);
  Variant created = GetComponent("VexaLibrary.Utilities");
  CompleteObjectContext();
  AbortObjectContext();
  const ErrorRecord error = ErrorOf([] { GetComponent("No.Such"); });
  ObjectContext::SetCurrent(nullptr);
  EXPECT_EQ(created.TypeName(), "Utilities");
  // The failed creation is logged through a log component created in the context too.
  ASSERT_EQ(context.created.size(), 3u);
  EXPECT_EQ(context.created[0], "VexaLibrary.Utilities");
  EXPECT_EQ(context.created[2], "Solvagen.Log");
  EXPECT_EQ(context.completes, 1);
  EXPECT_EQ(context.aborts, 1);
  EXPECT_NE(error.description.find(
                " INFO: CreateInstance(No.Such) failed.\r\nNote: Objects having "
                "'Instancing=PublicNotCreatable' may only be instantiated with 'New', not with "
                "GetComponent().\r\n"),
            std::string::npos);
}

TEST(GetComponentTest, VotesWithoutAContextDoNothing) {
  EXPECT_NO_THROW(CompleteObjectContext());
  EXPECT_NO_THROW(AbortObjectContext());
}

TEST(IdentifiersTest, FixedNamesAndStorageStrings) {
  EXPECT_EQ(GetApplicationIdentifier(), "Tesmik - Ardwynet");
  EXPECT_EQ(GetSourcingAppIdentifier(), "Mordane Sourcing");
  const std::pair<int32_t, const char*> storage[] = {
      {0, "APPLICATION"}, {1, "USERDATA"}, {2, ""}, {-1, ""}};
  for (const auto& [value, name] : storage) EXPECT_EQ(GetFileStorageString(value), name);
  const std::pair<int32_t, const char*> types[] = {{0, ""}, {1, "RFQ"},      {2, "Quotation"},
                                                   {3, ""}, {6, "Contract"}, {9, ""}};
  for (const auto& [value, name] : types) EXPECT_EQ(GetObjectTypeString(value), name);
}

TEST(GetUserObjectTest, KnownUnknownAndBrokenConfiguration) {
  TestInstallation installation;
  installation.AddUser({"buyer1", "Ann", "Buyer", "ann@example.org", "1033", 1033, {2}});
  {
    CallScope scope;
    ObjectPtr user = GetUserObject("buyer1");
    ASSERT_TRUE(user);
    EXPECT_EQ(user->Call("GetGivenName"), Variant("Ann"));
    EXPECT_FALSE(GetUserObject("ghost"));
    EXPECT_EQ(CurrentError().number, 0);  // the failed bind is an answer, not an error
  }
  unsetenv("QUORVAN_CONFIG");
  const ErrorRecord error = ErrorOf([] { GetUserObject("buyer1"); });
  EXPECT_EQ(error.number, 5);
  EXPECT_NE(error.description.find(" METHOD: QuorvanUtilities.GetUserObject\r\n"),
            std::string::npos);
  EXPECT_NE(error.description.find(" INFO: User Object could not be loaded for user : buyer1. "
                                   "Check if this user exists!!.\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quorvan::shared
