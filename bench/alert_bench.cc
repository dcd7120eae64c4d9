// Alerts against the raw driver, on the provider named by QUORVAN_BENCH_PROVIDER (sqlite or
// postgresql; bench/run runs both, each in its own process):
// - RaiseAlerts for 1,000 subscribed receivers versus the same subscription query and 1,000
//   INSERTs through the driver (target 1.5x);
// - GetWebAlertsForUser on 1,000,000 alerts of 10,000 users versus the same query through the
//   driver (target: under 5 ms on SQLite, 1.5x);
// - ExpireAlerts on 1,000,000 alerts: rows per second, and the plan the database chose.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <iostream>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/dictionary.h"
#include "platform/automation/safe_array.h"
#include "platform/data/connection.h"
#include "platform/data/connection_string.h"
#include "platform/data/recordset.h"
#include "platform/data/sqlite/sqlite_session.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

using data::Provider;

constexpr int kReceivers = 1000;
constexpr int kUsers = 10000;
constexpr int kAlerts = 1000000;

Provider BenchProvider() {
  const char* name = std::getenv("QUORVAN_BENCH_PROVIDER");
  return name && std::string(name) == "postgresql" ? Provider::kPostgreSQL : Provider::kSQLite;
}

// A driver connection of the provider, for the baselines.
class RawDriver {
 public:
  explicit RawDriver(const std::string& connection_string) {
    const auto parsed = data::ConnectionString::Parse(connection_string);
    if (BenchProvider() == Provider::kSQLite) {
      sqlite3_open(parsed.GetOr("Data Source", "").c_str(), &sqlite_);
      data::ApplySqlitePragmas(sqlite_, 30000);
    } else {
      pg_ = PQconnectdb(("host=" + parsed.GetOr("Host", "") + " port=" + parsed.GetOr("Port", "") +
                         " dbname=" + parsed.GetOr("Database", "") +
                         " user=" + parsed.GetOr("User ID", "") +
                         " options=-csearch_path=" + parsed.GetOr("Schema", "public"))
                            .c_str());
    }
  }
  ~RawDriver() {
    sqlite3_close(sqlite_);
    PQfinish(pg_);
  }
  // Runs a statement and reads every value of every row it returns; returns the row count.
  int Run(const std::string& sql) {
    int rows = 0;
    if (sqlite_) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(sqlite_, sql.c_str(), -1, &statement, nullptr);
      while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
          benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
        ++rows;
      }
      sqlite3_finalize(statement);
    } else {
      PGresult* result = PQexec(pg_, sql.c_str());
      rows = PQntuples(result);
      for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < PQnfields(result); ++c)
          benchmark::DoNotOptimize(PQgetvalue(result, r, c));
      }
      PQclear(result);
    }
    return rows;
  }

 private:
  sqlite3* sqlite_ = nullptr;
  PGconn* pg_ = nullptr;
};

struct Fixture {
  Fixture() : database(BenchProvider()) {
    database.ApplySchema();
    installation.UseDatabase(database.connection_string());
    const bool sqlite = BenchProvider() == Provider::kSQLite;
    const std::string series =
        sqlite ? "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                     std::to_string(kAlerts - 1) + ") "
               : "";
    const std::string from =
        sqlite ? " FROM n"
               : " FROM generate_series(0, " + std::to_string(kAlerts - 1) + ") AS n(i)";
    const std::string text = sqlite ? "CAST(i % " : "CAST(i % ";
    const std::string as_text = sqlite ? " AS TEXT)" : " AS VARCHAR)";
    // Subscriptions: every user to types 1..5, web and mail.
    database.Run(
        std::string(
            sqlite
                ? "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 49999) "
                : "") +
        "INSERT INTO ALERTSSUBSCRIPTION (USERID, ALERTTYPE, WEBALERT, MAILALERT) SELECT 'user' "
        "|| " +
        text + std::to_string(kUsers) + as_text + ", i / " + std::to_string(kUsers) + " + 1, 1, 1" +
        (sqlite ? " FROM n" : " FROM generate_series(0, 49999) AS n(i)"));
    database.Run(
        series +
        "INSERT INTO ALERT (ALERTTYPE, DOCUMENTHEADERID, RECEIVERID, NOTIFICATIONTYPE, STATUS, "
        "EXPIRED, "
        "MAILSENT, GENERATIONDATE, ACTIVATIONDATE, EXPIRATIONDATE) SELECT i % 5 + 1, 'DOC' || " +
        text + "997" + as_text + ", 'user' || " + text + std::to_string(kUsers) + as_text +
        ", i % 3 + 1, 2, 0, i % 2, '2024-01-01 00:00:00', '2024-01-01 00:00:00', '2999-01-01 "
        "00:00:00'" +
        from);
    database.Run(sqlite ? "ANALYZE" : "ANALYZE ALERT");
  }
  testing::TestInstallation installation;
  testing::TestDatabase database;
};

Fixture& TheFixture() {
  static Fixture* fixture = new Fixture();
  return *fixture;
}

Variant Receivers() {
  auto alerts = Dictionary::Create();
  for (int i = 0; i < kReceivers; ++i) {
    alerts->Add(Variant("user" + std::to_string(i)),
                Variant::FromArray(SafeArray::Of({Variant(3), Variant(4), Variant("RFQ-77"),
                                                  Variant("L1"), Variant::FromDate(NowDateSerial()),
                                                  Variant(""), Variant("buyer"), Variant("subject"),
                                                  Variant(""), Variant(7), Variant(1)})));
  }
  return Variant(alerts);
}

void BM_RaiseAlerts1000(benchmark::State& state) {
  TheFixture();
  CallScope scope;
  ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
  Variant receivers = Receivers();
  for (auto _ : state) {
    Variant args[] = {receivers};
    alert->Invoke("RaiseAlerts", args);
  }
}

void BM_RawRaise1000(benchmark::State& state) {
  RawDriver raw(TheFixture().database.connection_string());
  std::string users;
  for (int i = 0; i < kReceivers; ++i) users += (i ? ", 'user" : "'user") + std::to_string(i) + "'";
  const std::string query =
      "SELECT USERID,WEBALERT,MAILALERT FROM ALERTSSUBSCRIPTION WHERE (USERID IN (" + users +
      ")) AND ALERTTYPE = 4 AND (WEBALERT = 1 OR MAILALERT = 1)";
  for (auto _ : state) {
    raw.Run(query);
    for (int i = 0; i < kReceivers; ++i) {
      raw.Run(
          "INSERT INTO "
          "ALERT(NOTIFICATIONTYPE,STATUS,ALERTTYPE,DOCUMENTHEADERID,DOCUMENTLINEID,ACTIVATIONDATE,"
          "EXPIRATIONDATE,SENDERID,RECEIVERID,GENERATIONDATE,EXPIRED,MAILSENT,SUBJECT,BODY,"
          "BUSINESSPARTNERID,"
          "REVISION) VALUES (3,2,4,'RFQ-77','L1','2024-06-01 10:00:00',NULL,'buyer','user" +
          std::to_string(i) + "','2024-06-01 10:00:00',0,0,'subject','',7,1)");
    }
  }
}

const char* kListing =
    "SELECT ALERT.ALERTTYPE,DOCUMENTHEADERID,DOCUMENTLINEID,REVISION,GENERATIONDATE FROM "
    "ALERT,ALERTSSUBSCRIPTION "
    "WHERE ALERTSSUBSCRIPTION.USERID ='user4242' AND ALERT.RECEIVERID = ALERTSSUBSCRIPTION.USERID "
    "AND "
    "ALERT.ALERTTYPE = ALERTSSUBSCRIPTION.ALERTTYPE AND WEBALERT = 1 AND EXPIRED = 0 AND "
    "ACTIVATIONDATE "
    "<='2026-01-01 00:00:00' AND (EXPIRATIONDATE >='2026-01-01 00:00:00' OR EXPIRATIONDATE IS "
    "NULL) AND STATUS = "
    "2 AND (NOTIFICATIONTYPE = 1 OR NOTIFICATIONTYPE = 3) ORDER BY GENERATIONDATE "
    "DESC,DOCUMENTHEADERID DESC";

void BM_GetWebAlertsForUser(benchmark::State& state) {
  TheFixture();
  CallScope scope;
  ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
  for (auto _ : state) {
    Variant args[] = {Variant("user4242"), Variant::Missing()};
    benchmark::DoNotOptimize(alert->Invoke("GetWebAlertsForUser", args));
  }
}

void BM_RawWebListing(benchmark::State& state) {
  RawDriver raw(TheFixture().database.connection_string());
  for (auto _ : state) benchmark::DoNotOptimize(raw.Run(kListing));
}

// The plan the database chose for the expiry statement, printed once on standard error.
void PrintExpiryPlan(const std::string& connection_string) {
  const bool sqlite = BenchProvider() == Provider::kSQLite;
  auto connection = data::Connection::Create();
  connection->Open(Variant(connection_string), Variant(), Variant(), Variant());
  const std::string statement =
      "UPDATE ALERT SET EXPIRED = 1 WHERE EXPIRATIONDATE < '2026-01-01 00:00:00' OR "
      "(NOTIFICATIONTYPE =2 AND "
      "MAILSENT = 1 AND EXPIRED = 0) OR (NOTIFICATIONTYPE = 3 AND MAILSENT = 1 AND EXPIRED = 0 AND "
      "STATUS =3 )";
  auto session =
      data::OpenSession(data::ConnectionString::Parse(connection_string), data::SessionSettings{});
  const auto plan =
      session->Query((sqlite ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + statement, {}, 0);
  std::cerr << "ExpireAlerts plan (" << (sqlite ? "SQLite" : "PostgreSQL") << "):\n";
  for (const auto& row : plan.rows) std::cerr << "  " << row.back().ToString() << "\n";
}

// Last: it changes the table. Each iteration expires a fresh million (reset outside the timing).
void BM_ExpireAlerts(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  CallScope scope;
  ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
  PrintExpiryPlan(fixture.database.connection_string());
  int64_t expired = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fixture.database.Run(
        "UPDATE ALERT SET EXPIRED = 0, EXPIRATIONDATE = '2001-01-01 00:00:00' WHERE ALERTERID % 2 "
        "= 0");
    state.ResumeTiming();
    alert->Invoke("ExpireAlerts");
    expired += kAlerts / 2;
  }
  state.counters["rows_per_second"] =
      benchmark::Counter(static_cast<double>(expired), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_RaiseAlerts1000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRaise1000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetWebAlertsForUser)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWebListing)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpireAlerts)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvan

BENCHMARK_MAIN();
