// "QuorvanGeneral.RIChecker" as the host calls it, on SQLite and PostgreSQL.
#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/safe_array.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using data::Provider;
using testing::ErrorOf;
using testing::RunOnFreshThread;

Variant Array(std::initializer_list<Variant> items, int32_t lower = 0) {
  return Variant::FromArray(SafeArray(std::vector<Variant>(items), lower));
}

Variant Exists(const std::string& origin, const Variant& keys, const Variant& values) {
  Variant args[] = {Variant(origin), keys, values};
  return CreateObject("QuorvanGeneral.RIChecker")->Invoke("Exists", args);
}

class RICheckerTest : public ::testing::TestWithParam<Provider> {
 protected:
  void SetUp() override {
    database_ = testing::InstallTestDatabase(installation_, GetParam());
    if (!database_) GTEST_SKIP();
    database_->Run(
        "INSERT INTO CONTRACTHEADER (CONTRACTHEADERID, CURRENCYCODE, SHIPFMADDR, BUYERID) VALUES "
        "(1, 'EUR', 12, 'buyer')");
    database_->Run(
        "INSERT INTO CONTRACTRESULT (CONTRACTRESULTID, CONTRACTHEADERID, PLANTCODE) VALUES (1, 1, "
        "'42')");
    database_->Run(
        "INSERT INTO CONTRACTUSERDATA (CONTRACTUSERDATAID, CONTRACTHEADERID, UNITCODE) VALUES (1, "
        "1, 'o''z')");
    database_->Run(
        "INSERT INTO ALERTSSUBSCRIPTION (USERID, ALERTTYPE, WEBALERT, MAILALERT) VALUES "
        "('subonly', 4, 1, 0)");
  }

  testing::TestInstallation installation_;
  std::unique_ptr<testing::TestDatabase> database_;
};

TEST_P(RICheckerTest, AnswersFromTheOriginTable) {
  RunOnFreshThread([&] {
    struct Case {
      const char* origin;
      Variant keys;
      Variant values;
      bool expected;
    };
    const Case cases[] = {
        {"currency", Array({Variant("CurrencyCode")}), Array({Variant("EUR")}), true},
        {"CURRENCY", Array({Variant("x"), Variant("currencycode"), Variant("CURRENCYCODE")}, 5),
         Array({Variant("?"), Variant("USD"), Variant("EUR")}, 5), false},  // the lower index wins
        {"CURRENCY", Array({Variant("OTHER")}), Array({Variant("EUR")}), false},  // runs with ''
        {"ADDRESS", Array({Variant("ADDRESSID")}), Array({Variant(" 12 ")}), true},
        {"PLANT", Array({Variant("PLANTCODE")}), Array({Variant("0042")}), true},
        {"UNIT", Array({Variant("UNITCODE")}), Array({Variant("o'z")}), true},
        {"USER", Array({Variant("USERID")}), Array({Variant("subonly")}), true},
        {"USER", Array({Variant("USERID")}), Array({Variant("buyer")}), true},
        {"USER", Array({Variant("USERID")}), Array({Variant("stranger")}), false},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.origin);
      EXPECT_EQ(Exists(c.origin, c.keys, c.values), Variant(c.expected));
    }
  });
}

TEST_P(RICheckerTest, UnknownOriginsAndBadNumbersNeverReachTheDatabase) {
  installation_.AppendConfig(
      "[connections]\nHadrell = Provider=Nope\n");  // any connection would fail
  RunOnFreshThread([&] {
    EXPECT_EQ(Exists("COUNTRY", Array({}), Array({})), Variant(false));
    EXPECT_EQ(Exists("", Variant(), Variant()), Variant(false));
    struct Case {
      const char* origin;
      Variant value;
      int32_t number;
    };
    const Case cases[] = {{"ADDRESS", Variant("twelve"), 13},
                          {"PRODUCT", Variant("3000000000"), 6},
                          {"PLANT", Variant(""), 13},
                          {"CATEGORY", Variant::Null(), 94}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.origin);
      const ErrorRecord error = ErrorOf([&] {
        Exists(c.origin, Array({Variant(std::string(c.origin) + "ID")}), Array({c.value}));
      });
      EXPECT_EQ(error.number, c.number);
      EXPECT_NE(error.description.find(
                    " METHOD: QuorvanGeneral.RIChecker.IReferentialIntegrity_Exists\r\n"),
                std::string::npos);
      EXPECT_NE(error.description.find(std::string(" INFO: ") + c.origin + ".\r\n"),
                std::string::npos);
    }
    const ErrorRecord no_key =
        ErrorOf([] { Exists("ADDRESS", Array({Variant("OTHER")}), Array({Variant(1)})); });
    EXPECT_EQ(no_key.number, 13);
    EXPECT_EQ(ErrorOf([] { Exists("CURRENCY", Variant("not an array"), Variant()); }).number, 13);
  });
}

TEST_P(RICheckerTest, BeforeDeleteAlwaysTrueAndAPendingErrorIsCleared) {
  RunOnFreshThread([&] {
    CallScope outer;
    CurrentError() = ErrorRecord{5, "Earlier", "pending", "", 0};
    ObjectPtr checker = CreateObject("{CF6EEE7A-3B52-405D-BD8A-0B7835739044}");
    Variant args[] = {Variant("anything"), Variant(), Variant(3)};
    EXPECT_EQ(checker->Invoke("BeforeDelete", args), Variant(true));
    EXPECT_EQ(CurrentError().number, 0);
    Variant exists_args[] = {Variant("currency"), Array({Variant("CURRENCYCODE")}),
                             Array({Variant("EUR")})};
    EXPECT_EQ(checker->Invoke("Exists", exists_args), Variant(true));
    EXPECT_EQ(exists_args[0], Variant("currency"));  // the origin is not changed
  });
}

INSTANTIATE_TEST_SUITE_P(Providers, RICheckerTest,
                         ::testing::Values(Provider::kSQLite, Provider::kPostgreSQL),
                         [](const auto& info) {
                           return std::string(testing::ProviderName(info.param));
                         });

TEST(RICheckerClassTest, PublishesItsIdentifiers) {
  const ClassInfo& info = ClassRegistry::Instance().Describe("QuorvanGeneral.RIChecker");
  EXPECT_EQ(info.clsid, "{cf6eee7a-3b52-405d-bd8a-0b7835739044}");
  EXPECT_EQ(info.iid, "{7376971e-7bd9-4b0e-b852-dc8a1e881495}");
  ASSERT_EQ(info.members().size(), 2u);
  EXPECT_EQ(info.members()[0].name, "Exists");
  EXPECT_TRUE(info.members()[0].params[1].by_ref);
}

}  // namespace
}  // namespace quorvan
