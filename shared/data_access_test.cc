// The shared database procedures on both providers, through a real installation.
#include "shared/data_access.h"

#include <gtest/gtest.h>

#include "platform/automation/automation_date.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan::shared {
namespace {

using data::Provider;
using quorvan::testing::ErrorOf;
using quorvan::testing::RunOnFreshThread;
using quorvan::testing::TestDatabase;
using quorvan::testing::TestInstallation;

Variant Dict(std::initializer_list<std::pair<const char*, Variant>> entries) {
  auto dictionary = Dictionary::Create();
  for (const auto& [key, item] : entries) dictionary->Add(Variant(key), item);
  return Variant(dictionary);
}

Variant Array(std::initializer_list<Variant> items) {
  return Variant::FromArray(SafeArray::Of(items));
}

TEST(StatementTextTest, LiteralsByRunTimeType) {
  TestInstallation installation;
  const Variant date = Variant::FromDate(*ParseIsoDate("2024-02-03T04:05:06"));
  EXPECT_EQ(
      InsertStatement("ALERT", Dict({{"RECEIVERID", Variant("o'hara")},
                                     {"ALERTTYPE", Variant(4)},
                                     {"PRICE", Variant(2.5)},
                                     {"GENERATIONDATE", date},
                                     {"EXPIRED", Variant(false)},
                                     {"BODY", Variant()},
                                     {"SUBJECT", Variant::Null()},
                                     {"STATUS", Variant(int16_t{2})}})),
      "INSERT ALERT(RECEIVERID,ALERTTYPE,PRICE,GENERATIONDATE,EXPIRED,BODY,SUBJECT,STATUS) VALUES "
      "('o''hara',4,2.5,'2024-02-03 04:05:06',0,NULL,NULL,2)");
  EXPECT_EQ(InsertStatement("T", Dict({})), "INSERT T() VALUES ()");
  EXPECT_EQ(UpdateStatement("ALERT", Dict({{"STATUS", Variant(3)}, {"SUBJECT", Variant("a'b")}}),
                            Dict({{"ALERTERID", Variant(7)},
                                  {"RECEIVERID", Variant("u")},
                                  {"MAILSENT", Variant(true)},
                                  {"BODY", Variant::Null()}})),
            "UPDATE ALERT SET STATUS=3,SUBJECT='a''b' WHERE ALERTERID=7 AND RECEIVERID='u' AND "
            "MAILSENT=True AND BODY=");
  EXPECT_EQ(UpdateStatement("T", Dict({{"A", Variant(1)}}), Dict({})), "UPDATE T SET A=1 WHERE ");
  EXPECT_EQ(DeleteStatement("ALERT", Dict({{"RECEIVERID", Variant("u")}, {"REVISION", Variant()}})),
            "DELETE FROM ALERT WHERE RECEIVERID='u' AND REVISION=NULL");
}

class DataAccessTest : public ::testing::TestWithParam<Provider> {
 protected:
  void SetUp() override {
    database_ = quorvan::testing::InstallTestDatabase(installation_, GetParam());
    if (!database_) GTEST_SKIP();
  }

  int64_t Count(const std::string& where) {
    auto connection = data::Connection::Create();
    connection->Open(Variant(database_->connection_string()), Variant(), Variant(), Variant());
    return connection->ExecuteStatement("SELECT COUNT(*) FROM ALERT WHERE " + where, nullptr)
        ->Value(size_t{0})
        .ToLong();
  }

  void InsertAlert(const char* receiver, int32_t type) {
    ConnectionPtr connection = GetTesmikConnection();
    InsertTable("ALERT",
                Dict({{"ALERTTYPE", Variant(type)},
                      {"RECEIVERID", Variant(receiver)},
                      {"GENERATIONDATE", Variant::FromDate(NowDateSerial())}}),
                connection);
    CloseConnection(connection);
  }

  TestInstallation installation_;
  std::unique_ptr<TestDatabase> database_;
};

TEST_P(DataAccessTest, GetTesmikConnectionReadsTheConfigurationOncePerThread) {
  RunOnFreshThread([&] {
    ConnectionPtr first = GetTesmikConnection();
    EXPECT_EQ(first->State(), data::kStateOpen);
    EXPECT_EQ(first->CommandTimeout(), 30);
    EXPECT_EQ(first->CursorLocation(), data::kUseClient);
    CloseConnection(first);
    EXPECT_EQ(first, nullptr);
    // The configuration is gone, but this thread has what it needs.
    setenv("QUORVAN_CONFIG", "/nonexistent/quorvan.ini", 1);
    ConnectionPtr second = GetTesmikConnection();
    EXPECT_EQ(second->State(), data::kStateOpen);
    CloseConnection(second);
  });
  setenv("QUORVAN_CONFIG", installation_.config_path().c_str(), 1);
  RunOnFreshThread([&] {
    installation_.AppendConfig("[connections]\nHadrell = Provider=Nope\n");
    const ErrorRecord error = ErrorOf([] { GetTesmikConnection(); });
    EXPECT_EQ(error.number, 3706);
    EXPECT_NE(error.description.find(" METHOD: Lib_DataAccess.GetTesmikConnection\r\n"),
              std::string::npos);
  });
}

TEST_P(DataAccessTest, AHalfWayFailureKeepsWhatWasReadBeforeIt) {
  installation_.AppendConfig("[Fennick/CONNECTIONS]\nHadrellConnection_ConnectionTimeout = soon\n");
  RunOnFreshThread([&] {
    EXPECT_EQ(ErrorOf([] { GetTesmikConnection(); }).number, 13);  // "soon" is no number
    // The connection string and the command timeout were stored before the failure; the
    // thread does not read the configuration again, and the unread cursor location (0) is
    // refused by the connection.
    installation_.AppendConfig("[Fennick/CONNECTIONS]\nHadrellConnection_ConnectionTimeout = 15\n");
    EXPECT_EQ(ErrorOf([] { GetTesmikConnection(); }).number, data::data_error::kArgumentsWrongType);
  });
}

TEST_P(DataAccessTest, InsertUpdateDeleteOnTheApplicationDatabase) {
  RunOnFreshThread([&] {
    InsertAlert("ann", 4);
    InsertAlert("ann", 5);
    InsertAlert("o'brien", 4);
    EXPECT_EQ(Count("RECEIVERID = 'o''brien'"), 1);
    ConnectionPtr connection = GetTesmikConnection();
    UpdateTable("ALERT", Dict({{"STATUS", Variant(3)}}),
                Dict({{"RECEIVERID", Variant("ann")}, {"ALERTTYPE", Variant(5)}}), connection);
    EXPECT_EQ(Count("STATUS = 3"), 1);
    DeleteTable("ALERT", Dict({{"RECEIVERID", Variant("ann")}}), connection);
    EXPECT_EQ(Count("1=1"), 1);
    // No conditions: the database refuses " WHERE " and nothing changes.
    const ErrorRecord error = ErrorOf([&] { DeleteTable("ALERT", Dict({}), connection); });
    EXPECT_NE(error.number, 0);
    EXPECT_NE(error.description.find(" METHOD: Lib_DataAccess.DeleteTable\r\n"), std::string::npos);
    EXPECT_EQ(Count("1=1"), 1);
    EXPECT_NE(ErrorOf([&] { InsertTable("ALERT", Dict({}), connection); }).number, 0);
    CloseConnection(connection);
  });
}

TEST_P(DataAccessTest, CheckIfExistsInTable) {
  RunOnFreshThread([&] {
    InsertAlert("ann", 4);
    Variant no_connection = Variant::Missing();
    EXPECT_TRUE(CheckIfExistsInTable("ALERT", Array({Variant("RECEIVERID"), Variant("ALERTTYPE")}),
                                     Array({Variant("ann"), Variant(4)}),
                                     Array({Variant(true), Variant(false)}), no_connection));
    EXPECT_FALSE(CheckIfExistsInTable("ALERT", Array({Variant("RECEIVERID")}),
                                      Array({Variant("o'ann")}), Array({Variant(true)}),
                                      no_connection));
    // A null value tests IS NULL; text whose flag is false goes in unquoted.
    EXPECT_TRUE(CheckIfExistsInTable("ALERT", Array({Variant("SUBJECT"), Variant("ALERTTYPE")}),
                                     Array({Variant::Null(), Variant("4")}),
                                     Array({Variant(true), Variant::Null()}), no_connection));
    ConnectionPtr mine = GetTesmikConnection();
    Variant passed{ObjectPtr(mine)};
    EXPECT_TRUE(CheckIfExistsInTable("ALERT", Array({Variant("ALERTTYPE")}), Array({Variant(4)}),
                                     Array({Variant(false)}), passed));
    EXPECT_EQ(mine->State(), data::kStateOpen);  // the caller's connection stays open
    const ErrorRecord empty = ErrorOf([&] {
      CheckIfExistsInTable("ALERT", Variant::FromArray(SafeArray()),
                           Variant::FromArray(SafeArray()), Variant::FromArray(SafeArray()),
                           passed);
    });
    EXPECT_NE(empty.number, 0);
    EXPECT_NE(empty.description.find(" METHOD: Lib_DataAccess.CheckIfExistsInTable\r\n"),
              std::string::npos);
    CloseConnection(mine);
  });
}

TEST_P(DataAccessTest, ClosingIsSafeForAnyReference) {
  RunOnFreshThread([&] {
    InsertAlert("ann", 4);
    Variant nothing = Variant::Nothing();
    CloseConnection(nothing);
    CloseRecordset(nothing);
    Variant empty;
    CloseRecordset(empty);
    EXPECT_TRUE(empty.IsObject());
    ConnectionPtr connection = GetTesmikConnection();
    auto rows = data::Recordset::Create();
    rows->Open(Variant("SELECT STATUS FROM ALERT"), Variant(ObjectPtr(connection)),
               Variant(data::kOpenStatic), Variant(data::kLockBatchOptimistic), Variant());
    rows->SetValue(size_t{0}, Variant(3));
    rows->Update(Variant(), Variant());
    RecordsetPtr held = rows;
    CloseRecordset(held);  // drops the pending change
    EXPECT_EQ(held, nullptr);
    EXPECT_EQ(rows->State(), data::kStateClosed);
    EXPECT_EQ(Count("STATUS = 3"), 0);
    CloseRecordset(rows);  // already closed
    ConnectionPtr closed = connection;
    CloseConnection(connection);
    CloseConnection(closed);  // already closed
    EXPECT_EQ(closed, nullptr);
  });
}

INSTANTIATE_TEST_SUITE_P(Providers, DataAccessTest,
                         ::testing::Values(Provider::kSQLite, Provider::kPostgreSQL),
                         [](const auto& info) {
                           return std::string(quorvan::testing::ProviderName(info.param));
                         });

}  // namespace
}  // namespace quorvan::shared
