// Connection and Recordset against real databases: every test runs on SQLite and on the
// PostgreSQL server that scripts/test starts.
#include <gtest/gtest.h>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_info.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/safe_array.h"
#include "platform/data/ado_constants.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/data/session_pool.h"
#include "tests/support/error_capture.h"
#include "tests/support/test_database.h"

namespace quorvan::data {
namespace {

using quorvan::testing::ErrorOf;
using quorvan::testing::TestDatabase;

template <class... Items>
Variant SafeArrayOf(Items... items) {
  return Variant::FromArray(SafeArray::Of({Variant(items)...}));
}

class DataTest : public ::testing::TestWithParam<Provider> {
 protected:
  void SetUp() override {
    database_ = std::make_unique<TestDatabase>(GetParam());
    if (!database_->available()) GTEST_SKIP();
    database_->Run(
        "CREATE TABLE ITEMS (ID INTEGER PRIMARY KEY, NAME VARCHAR(40), FLAG SMALLINT NOT NULL "
        "DEFAULT 0, "
        "PRICE DOUBLE PRECISION, SEEN TIMESTAMP, OWNER VARCHAR(40))");
  }

  std::shared_ptr<Connection> Open() {
    auto connection = Connection::Create();
    connection->Open(Variant(database_->connection_string()), Variant(), Variant(), Variant());
    return connection;
  }

  void Exec(Connection& connection, const std::string& sql) {
    connection.ExecuteStatement(sql, nullptr);
  }

  std::shared_ptr<Recordset> OpenRows(const std::shared_ptr<Connection>& connection,
                                      const std::string& sql, int32_t cursor, int32_t lock) {
    auto rows = Recordset::Create();
    rows->Open(Variant(sql), Variant(ObjectPtr(connection)), Variant(cursor), Variant(lock),
               Variant());
    return rows;
  }

  void Seed(Connection& connection) {
    Exec(connection,
         "INSERT ITEMS(ID, NAME, FLAG, PRICE, SEEN, OWNER) VALUES (1, 'alpha', 1, 2.5, '2024-01-02 "
         "03:04:05', 'ann')");
    Exec(connection,
         "INSERT ITEMS(ID, NAME, FLAG, PRICE, SEEN, OWNER) VALUES (2, 'beta', 0, NULL, NULL, "
         "'ann')");
    Exec(connection,
         "INSERT ITEMS(ID, NAME, FLAG, PRICE, SEEN, OWNER) VALUES (3, 'beta', 0, 7, NULL, 'bob')");
  }

  std::unique_ptr<TestDatabase> database_;
};

TEST_P(DataTest, ExecuteReadsEveryTypeBack) {
  auto connection = Open();
  Seed(*connection);
  int64_t affected = 0;
  connection->ExecuteStatement("UPDATE ITEMS SET FLAG = 1 WHERE OWNER = 'ann'", &affected);
  EXPECT_EQ(affected, 2);
  auto rows = connection->ExecuteStatement(
      "SELECT TOP 1 ID, NAME, FLAG, PRICE, SEEN, OWNER FROM ITEMS ORDER BY ID", nullptr);
  ASSERT_TRUE(rows);
  EXPECT_EQ(rows->Value(Variant("ID")), Variant(1));
  EXPECT_EQ(rows->Value(Variant("name")), Variant("alpha"));
  EXPECT_EQ(rows->Value(Variant("FLAG")), Variant(int16_t{1}));
  EXPECT_EQ(rows->Value(Variant("PRICE")), Variant(2.5));
  EXPECT_EQ(FormatIsoDate(rows->Value(Variant("SEEN")).ToDate()), "2024-01-02T03:04:05");
  EXPECT_EQ(rows->Value(Variant("SEEN")).type(), VarType::kDate);
  rows->MoveNext();
  EXPECT_TRUE(rows->AtEnd());  // TOP 1
  auto nulls = connection->ExecuteStatement("SELECT PRICE, SEEN FROM ITEMS WHERE ID = 2", nullptr);
  EXPECT_TRUE(nulls->Value(size_t{0}).IsNull());
  EXPECT_TRUE(nulls->Value(size_t{1}).IsNull());
  EXPECT_EQ(nulls->Column(1).type, kTypeDBTimeStamp);
}

TEST_P(DataTest, LiteralsWithQuotesAndSecondStatementsNeverReachTheDatabaseAsSql) {
  auto connection = Open();
  Seed(*connection);
  Exec(*connection, "INSERT ITEMS(ID, NAME) VALUES (4, 'it''s; DROP TABLE ITEMS')");
  auto rows = connection->ExecuteStatement("SELECT NAME FROM ITEMS WHERE ID = 4", nullptr);
  EXPECT_EQ(rows->Value(size_t{0}), Variant("it's; DROP TABLE ITEMS"));
  const ErrorRecord second =
      ErrorOf([&] { Exec(*connection, "DELETE FROM ITEMS WHERE ID = 1; DROP TABLE ITEMS"); });
  EXPECT_EQ(second.number, data_error::kSyntaxError);
  auto count = connection->ExecuteStatement("SELECT COUNT(ID) FROM ITEMS", nullptr);
  EXPECT_EQ(count->Value(size_t{0}).ToLong(), 4);  // nothing deleted, nothing dropped
}

TEST_P(DataTest, DatabaseErrorsPassThroughWithTheirMessage) {
  auto connection = Open();
  Seed(*connection);
  const ErrorRecord unknown = ErrorOf([&] { Exec(*connection, "SELECT NOPE FROM ITEMS"); });
  EXPECT_EQ(unknown.number, data_error::kSyntaxError);
  EXPECT_EQ(unknown.source, GetParam() == Provider::kSQLite ? "SQLite" : "PostgreSQL");
  EXPECT_NE(LowerAscii(unknown.description).find("nope"), std::string::npos) << unknown.description;
  const ErrorRecord duplicate =
      ErrorOf([&] { Exec(*connection, "INSERT ITEMS(ID, NAME) VALUES (1, 'again')"); });
  EXPECT_EQ(duplicate.number, data_error::kIntegrityViolation) << duplicate.description;
  const ErrorRecord not_null =
      ErrorOf([&] { Exec(*connection, "INSERT ITEMS(ID, FLAG) VALUES (9, NULL)"); });
  EXPECT_EQ(not_null.number, data_error::kIntegrityViolation) << not_null.description;
}

TEST_P(DataTest, CursorsCountsAndBounds) {
  auto connection = Open();
  Seed(*connection);
  auto forward =
      OpenRows(connection, "SELECT ID FROM ITEMS ORDER BY ID", kOpenForwardOnly, kLockReadOnly);
  EXPECT_EQ(forward->RecordCount(), -1);
  auto fixed = OpenRows(connection, "SELECT ID FROM ITEMS ORDER BY ID", kOpenStatic, kLockReadOnly);
  EXPECT_EQ(fixed->RecordCount(), 3);
  EXPECT_FALSE(fixed->AtStart());
  fixed->MoveLast();
  EXPECT_EQ(fixed->Value(size_t{0}), Variant(3));
  fixed->MoveNext();
  EXPECT_TRUE(fixed->AtEnd());
  EXPECT_EQ(ErrorOf([&] { fixed->MoveNext(); }).number, data_error::kBofOrEof);
  EXPECT_EQ(ErrorOf([&] { fixed->Value(size_t{0}); }).number, data_error::kBofOrEof);
  fixed->MoveFirst();
  fixed->MovePrevious();
  EXPECT_TRUE(fixed->AtStart());

  auto limited = Recordset::Create();
  limited->SetMaxRecords(2);
  limited->Open(Variant("SELECT ID FROM ITEMS"), Variant(ObjectPtr(connection)),
                Variant(kOpenStatic), Variant(kLockReadOnly), Variant());
  EXPECT_EQ(limited->RecordCount(), 2);
  EXPECT_EQ(ErrorOf([&] { limited->SetMaxRecords(5); }).number, data_error::kObjectOpen);

  auto empty = OpenRows(connection, "SELECT * FROM ITEMS WHERE 1=0", kOpenStatic, kLockReadOnly);
  EXPECT_TRUE(empty->AtStart());
  EXPECT_TRUE(empty->AtEnd());
  EXPECT_EQ(empty->FieldCount(), 6u);
  EXPECT_EQ(ErrorOf([&] { empty->FieldIndex(Variant("MISSING")); }).number,
            data_error::kNotInCollection);
  empty->Close();
  EXPECT_EQ(ErrorOf([&] { empty->AtEnd(); }).number, data_error::kObjectClosed);
}

TEST_P(DataTest, AddNewReadsTheGeneratedIdentityBack) {
  database_->Run(
      GetParam() == Provider::kSQLite
          ? "CREATE TABLE LOG (LOGID INTEGER PRIMARY KEY AUTOINCREMENT, TEXT VARCHAR(20))"
          : "CREATE TABLE LOG (LOGID INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, TEXT "
            "VARCHAR(20))");
  auto connection = Open();
  auto rows = OpenRows(connection, "SELECT * FROM LOG WHERE 1=0", kOpenStatic, kLockOptimistic);
  for (const char* text : {"first", "second"}) {
    rows->AddNew(Variant(), Variant());
    EXPECT_EQ(rows->EditMode(), kEditAdd);
    rows->SetValue(Variant("TEXT"), Variant(text));
    rows->Update(Variant(), Variant());
    EXPECT_EQ(rows->EditMode(), kEditNone);
  }
  EXPECT_EQ(rows->Value(Variant("LOGID")), Variant(2));
  EXPECT_EQ(rows->Value(Variant("TEXT")), Variant("second"));
  auto check = connection->ExecuteStatement("SELECT COUNT(LOGID) FROM LOG", nullptr);
  EXPECT_EQ(check->Value(size_t{0}).ToLong(), 2);
}

TEST_P(DataTest, BatchUpdateChangesExactlyTheRowsItRead) {
  auto connection = Open();
  Seed(*connection);
  // Rows 2 and 3 look alike in the selected column; the key is not selected.
  auto rows = OpenRows(connection, "SELECT NAME, FLAG FROM ITEMS WHERE NAME = 'beta' ORDER BY ID",
                       kOpenStatic, kLockBatchOptimistic);
  ASSERT_EQ(rows->RecordCount(), 2);
  rows->MoveNext();  // row 3
  rows->SetValue(Variant("FLAG"), Variant(1));
  EXPECT_EQ(rows->EditMode(), kEditInProgress);
  rows->Update(Variant(), Variant());
  EXPECT_EQ(rows->EditMode(), kEditInProgress);  // pending until UpdateBatch
  auto before = connection->ExecuteStatement("SELECT FLAG FROM ITEMS WHERE ID = 3", nullptr);
  EXPECT_EQ(before->Value(size_t{0}).ToLong(), 0);
  rows->UpdateBatch(Variant(kAffectAll));
  EXPECT_EQ(rows->EditMode(), kEditNone);
  auto after = connection->ExecuteStatement("SELECT ID, FLAG FROM ITEMS ORDER BY ID", nullptr);
  std::vector<int32_t> flags;
  for (; !after->AtEnd(); after->MoveNext()) flags.push_back(after->Value(size_t{1}).ToLong());
  EXPECT_EQ(flags, (std::vector<int32_t>{1, 0, 1}));
}

TEST_P(DataTest, DetachedRowSetsWriteBackAfterReattaching) {
  auto connection = Open();
  Seed(*connection);
  auto rows = Recordset::Create();
  rows->SetCursorLocation(kUseClient);
  rows->Open(Variant("SELECT ID, OWNER FROM ITEMS ORDER BY ID"), Variant(ObjectPtr(connection)),
             Variant(kOpenForwardOnly), Variant(kLockBatchOptimistic), Variant());
  EXPECT_EQ(rows->CursorType(), kOpenStatic);  // client-side cursors are static
  rows->SetActiveConnection(Variant::Nothing());
  connection->Close();
  rows->SetValue(Variant("OWNER"), Variant("zoe"));
  rows->Update(Variant(), Variant());
  EXPECT_EQ(ErrorOf([&] { rows->UpdateBatch(Variant()); }).number, data_error::kObjectClosed);
  auto again = Open();
  rows->SetActiveConnection(Variant(ObjectPtr(again)));
  rows->UpdateBatch(Variant());
  EXPECT_EQ(
      again->ExecuteStatement("SELECT OWNER FROM ITEMS WHERE ID = 1", nullptr)->Value(size_t{0}),
      Variant("zoe"));
}

TEST_P(DataTest, CancelBatchAndCancelUpdateRestore) {
  auto connection = Open();
  Seed(*connection);
  auto rows = OpenRows(connection, "SELECT ID, NAME FROM ITEMS ORDER BY ID", kOpenStatic,
                       kLockBatchOptimistic);
  rows->SetValue(Variant("NAME"), Variant("changed"));
  rows->CancelUpdate();
  EXPECT_EQ(rows->Value(Variant("NAME")), Variant("alpha"));
  rows->MoveNext();
  rows->AddNew(Variant(), Variant());
  rows->CancelUpdate();
  EXPECT_EQ(rows->Value(Variant("ID")), Variant(2));  // back where AddNew started
  rows->SetValue(Variant("NAME"), Variant("gamma"));
  rows->Update(Variant(), Variant());
  rows->AddNew(SafeArrayOf("ID", "NAME"), SafeArrayOf(9, "new"));
  EXPECT_EQ(rows->RecordCount(), 4);
  rows->CancelBatch(Variant(kAffectAll));
  EXPECT_EQ(rows->RecordCount(), 3);
  rows->MoveFirst();
  rows->MoveNext();
  EXPECT_EQ(rows->Value(Variant("NAME")), Variant("beta"));
  rows->UpdateBatch(Variant());
  EXPECT_EQ(connection->ExecuteStatement("SELECT COUNT(ID) FROM ITEMS", nullptr)
                ->Value(size_t{0})
                .ToLong(),
            3);
}

TEST_P(DataTest, ConcurrentChangeIsAConflictNotAnOverwrite) {
  auto connection = Open();
  Seed(*connection);
  auto first =
      OpenRows(connection, "SELECT ID, NAME FROM ITEMS WHERE ID = 1", kOpenStatic, kLockOptimistic);
  auto second =
      OpenRows(connection, "SELECT ID, NAME FROM ITEMS WHERE ID = 1", kOpenStatic, kLockOptimistic);
  first->SetValue(Variant("NAME"), Variant("mine"));
  first->Update(Variant(), Variant());
  second->SetValue(Variant("NAME"), Variant("theirs"));
  EXPECT_EQ(ErrorOf([&] { second->Update(Variant(), Variant()); }).number,
            data_error::kRowNotLocated);
  EXPECT_EQ(connection->ExecuteStatement("SELECT NAME FROM ITEMS WHERE ID = 1", nullptr)
                ->Value(size_t{0}),
            Variant("mine"));
  auto read_only = OpenRows(connection, "SELECT ID FROM ITEMS", kOpenStatic, kLockReadOnly);
  EXPECT_EQ(ErrorOf([&] { read_only->SetValue(size_t{0}, Variant(5)); }).number,
            data_error::kNotSupported);
}

TEST_P(DataTest, FindWithWildcardsAndQuotes) {
  auto connection = Open();
  Seed(*connection);
  Exec(*connection, "INSERT ITEMS(ID, NAME) VALUES (4, 'o''brien')");
  auto rows =
      OpenRows(connection, "SELECT ID, NAME FROM ITEMS ORDER BY ID", kOpenStatic, kLockReadOnly);
  rows->Find("NAME LIKE 'BET*'", 0, 1, Variant::Missing());
  EXPECT_EQ(rows->Value(Variant("ID")), Variant(2));
  rows->Find("NAME LIKE 'bet*'", 1, 1, Variant::Missing());
  EXPECT_EQ(rows->Value(Variant("ID")), Variant(3));
  rows->MoveFirst();
  rows->Find("NAME LIKE 'O''BRIEN'", 0, 1, Variant::Missing());
  EXPECT_EQ(rows->Value(Variant("ID")), Variant(4));
  rows->MoveFirst();
  rows->Find("NAME LIKE 'zeta'", 0, 1, Variant::Missing());
  EXPECT_TRUE(rows->AtEnd());
}

TEST_P(DataTest, PoolReusesSessionsAndRollsBackWhatWasLeftOpen) {
  auto connection = Open();
  Seed(*connection);
  connection->BeginTrans();
  Exec(*connection, "DELETE FROM ITEMS");
  connection->Close();  // back to the pool, uncommitted
  EXPECT_EQ(SessionPool::Instance().IdleCount(database_->connection_string()), 1u);
  auto reused = Open();
  EXPECT_EQ(SessionPool::Instance().IdleCount(database_->connection_string()), 0u);
  EXPECT_EQ(
      reused->ExecuteStatement("SELECT COUNT(ID) FROM ITEMS", nullptr)->Value(size_t{0}).ToLong(),
      3);
}

TEST_P(DataTest, FabricatedRowSets) {
  auto rows = Recordset::Create();
  rows->AppendField("FIELDNAME", kTypeLongVarWChar, -1, kFieldIsNullable);
  rows->AppendField("FIELDVALUE", kTypeLongVarWChar, -1, kFieldIsNullable);
  EXPECT_EQ(ErrorOf([&] { rows->AppendField("fieldname", kTypeVarWChar, 10, 0); }).number,
            data_error::kArgumentsWrongType);
  rows->Open(Variant(), Variant(), Variant(), Variant(), Variant());
  rows->AddNew(Variant(), Variant());
  rows->SetValue(Variant("FIELDNAME"), Variant("TXT_A"));
  rows->SetValue(Variant("FIELDVALUE"), Variant("1"));
  rows->Update(Variant(), Variant());
  EXPECT_EQ(rows->EditMode(), kEditAdd);
  rows->UpdateBatch(Variant());
  EXPECT_EQ(rows->EditMode(), kEditNone);
  EXPECT_EQ(rows->RecordCount(), 1);
  ObjectPtr fields = rows->Fields();
  EXPECT_EQ(fields->GetProperty("Count"), Variant(2));
  ObjectPtr field = fields->Call("Item", "fieldvalue").ToObject();
  EXPECT_EQ(field->GetProperty("Value"), Variant("1"));
  EXPECT_EQ(field->GetProperty("Name"), Variant("FIELDVALUE"));
}

TEST_P(DataTest, LateBoundUseAsScriptsDoIt) {
  ObjectPtr connection = CreateObject("Data.Connection");
  connection->Call("Open", database_->connection_string());
  Variant affected;
  Variant args[] = {Variant("INSERT ITEMS(ID, NAME) VALUES (7, 'late')"), Variant()};
  connection->Invoke("Execute", args);
  EXPECT_EQ(args[1], Variant(1));
  ObjectPtr rows = connection->Call("Execute", "SELECT NAME FROM ITEMS").ToObject();
  EXPECT_EQ(rows->GetProperty("EOF"), Variant(false));
  EXPECT_EQ(connection->GetProperty("State"), Variant(kStateOpen));
  connection->Call("Close");
  EXPECT_EQ(connection->GetProperty("State"), Variant(kStateClosed));
}

INSTANTIATE_TEST_SUITE_P(Providers, DataTest,
                         ::testing::Values(Provider::kSQLite, Provider::kPostgreSQL),
                         [](const auto& info) {
                           return std::string(quorvan::testing::ProviderName(info.param));
                         });

TEST(DataConnectionTest, UnknownProviderAndUnreachableServer) {
  auto connection = Connection::Create();
  EXPECT_EQ(ErrorOf([&] {
              connection->Open(Variant("Provider=Nope;Data Source=x"), Variant(), Variant(),
                               Variant());
            }).number,
            data_error::kProviderNotFound);
  EXPECT_EQ(ErrorOf([&] {
              connection->Open(Variant("Data Source=x"), Variant(), Variant(), Variant());
            }).number,
            data_error::kProviderNotFound);
  connection->SetConnectionTimeout(2);
  const ErrorRecord unreachable = ErrorOf([&] {
    connection->Open(Variant("Provider=PostgreSQL;Host=127.0.0.1;Port=1;Database=x;User ID=x"),
                     Variant(), Variant(), Variant());
  });
  EXPECT_EQ(unreachable.number, data_error::kProviderError);
  EXPECT_EQ(unreachable.source, "PostgreSQL");
  EXPECT_NE(unreachable.description.find("127.0.0.1"), std::string::npos)
      << unreachable.description;
  const ErrorRecord missing_file = ErrorOf([&] {
    connection->Open(Variant("Provider=SQLite;Data Source=/nonexistent/dir/x.db"), Variant(),
                     Variant(), Variant());
  });
  EXPECT_EQ(missing_file.source, "SQLite");
  EXPECT_EQ(connection->State(), kStateClosed);
}

}  // namespace
}  // namespace quorvan::data
