// The data stack against the raw drivers, measured in the same run (bench/run prints ratios):
// - InsertTable of one ALERT row versus the driver executing the same INSERT text, with the
//   same journal and commit settings (targets: 1.3x on SQLite, 1.2x on PostgreSQL);
// - GetTesmikConnection from the pool versus a fresh driver connection (target: 10x cheaper);
// - the String builder's Value after 100,000 Adds versus joining into one std::string (2x).
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <memory>

#include "platform/automation/automation_date.h"
#include "platform/automation/current_error.h"
#include "platform/automation/dictionary.h"
#include "platform/data/connection_string.h"
#include "platform/data/sqlite/sqlite_session.h"
#include "shared/data_access.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"
#include "utility/string/string_builder.h"

namespace quorvan {
namespace {

using data::Provider;

// One installation and database per provider for the whole run.
struct Setup {
  explicit Setup(Provider provider) : database(provider) {
    if (!database.available()) return;
    database.ApplySchema();
    installation.UseDatabase(database.connection_string());
    shared::ForgetConnectionSettings();  // each benchmark has an installation of its own
  }
  testing::TestInstallation installation;
  testing::TestDatabase database;
};

Variant AlertValues() {
  auto values = Dictionary::Create();
  values->Add(Variant("ALERTTYPE"), Variant(4));
  values->Add(Variant("DOCUMENTHEADERID"), Variant("RFQ-1001"));
  values->Add(Variant("RECEIVERID"), Variant("buyer1"));
  values->Add(Variant("SENDERID"), Variant("supplier7"));
  values->Add(Variant("SUBJECT"), Variant("Quotation received"));
  values->Add(Variant("NOTIFICATIONTYPE"), Variant(3));
  values->Add(Variant("GENERATIONDATE"), Variant::FromDate(NowDateSerial()));
  values->Add(Variant("EXPIRED"), Variant(false));
  values->Add(Variant("STATUS"), Variant(2));
  return Variant(values);
}

void InsertTableThroughTheStack(benchmark::State& state, Provider provider) {
  Setup setup(provider);
  if (!setup.database.available()) return state.SkipWithError("PostgreSQL not available");
  CallScope scope;
  shared::ConnectionPtr connection = shared::GetTesmikConnection();
  const Variant values = AlertValues();
  for (auto _ : state) shared::InsertTable("ALERT", values, connection);
  shared::CloseConnection(connection);
}

void BM_InsertTable_SQLite(benchmark::State& state) {
  InsertTableThroughTheStack(state, Provider::kSQLite);
}
void BM_InsertTable_PostgreSQL(benchmark::State& state) {
  InsertTableThroughTheStack(state, Provider::kPostgreSQL);
}

// The INSERT text InsertTable builds, in the form the driver runs ("INSERT INTO").
std::string RawInsert() {
  testing::TestInstallation installation;
  return shared::InsertStatement("ALERT", AlertValues()).replace(0, 7, "INSERT INTO ");
}

void BM_RawInsert_SQLite(benchmark::State& state) {
  Setup setup(Provider::kSQLite);
  const std::string sql = RawInsert();
  const std::string path =
      data::ConnectionString::Parse(setup.database.connection_string()).GetOr("Data Source", "");
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  data::ApplySqlitePragmas(db, 30000);
  for (auto _ : state) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
      state.SkipWithError(sqlite3_errmsg(db));
  }
  sqlite3_close(db);
}

std::string LibpqConninfo(const std::string& connection_string) {
  const auto parsed = data::ConnectionString::Parse(connection_string);
  return "host=" + parsed.GetOr("Host", "") + " port=" + parsed.GetOr("Port", "") +
         " dbname=" + parsed.GetOr("Database", "") + " user=" + parsed.GetOr("User ID", "") +
         (parsed.Get("Schema") ? " options=-csearch_path=" + *parsed.Get("Schema") : "");
}

void BM_RawInsert_PostgreSQL(benchmark::State& state) {
  Setup setup(Provider::kPostgreSQL);
  if (!setup.database.available()) return state.SkipWithError("PostgreSQL not available");
  const std::string sql = RawInsert();
  PGconn* conn = PQconnectdb(LibpqConninfo(setup.database.connection_string()).c_str());
  for (auto _ : state) {
    PGresult* result = PQexec(conn, sql.c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
      state.SkipWithError(PQresultErrorMessage(result));
    PQclear(result);
  }
  PQfinish(conn);
}

void BM_GetTesmikConnection_PostgreSQL(benchmark::State& state) {
  Setup setup(Provider::kPostgreSQL);
  if (!setup.database.available()) return state.SkipWithError("PostgreSQL not available");
  CallScope scope;
  for (auto _ : state) {
    shared::ConnectionPtr connection = shared::GetTesmikConnection();
    shared::CloseConnection(connection);
  }
}

void BM_FreshDriverConnection_PostgreSQL(benchmark::State& state) {
  const char* server = std::getenv("QUORVAN_TEST_POSTGRES");
  if (!server) return state.SkipWithError("PostgreSQL not available");
  const std::string conninfo = LibpqConninfo(server);
  for (auto _ : state) PQfinish(PQconnectdb(conninfo.c_str()));
}

constexpr int kPieces = 100000;

void BM_StringBuilderValue(benchmark::State& state) {
  utility::StringBuilder builder;
  for (int i = 0; i < kPieces; ++i) builder.Add(" AND F" + std::to_string(i % 100) + "=1");
  for (auto _ : state) benchmark::DoNotOptimize(builder.Value());
}

void BM_StdStringJoin(benchmark::State& state) {
  std::vector<std::string> pieces;
  for (int i = 0; i < kPieces; ++i) pieces.push_back(" AND F" + std::to_string(i % 100) + "=1");
  for (auto _ : state) {
    std::string joined;
    for (const auto& piece : pieces) joined += piece;
    benchmark::DoNotOptimize(joined);
  }
}

BENCHMARK(BM_InsertTable_SQLite)->MinTime(0.5);
BENCHMARK(BM_RawInsert_SQLite)->MinTime(0.5);
BENCHMARK(BM_InsertTable_PostgreSQL)->MinTime(0.5);
BENCHMARK(BM_RawInsert_PostgreSQL)->MinTime(0.5);
BENCHMARK(BM_GetTesmikConnection_PostgreSQL)->MinTime(0.5);
BENCHMARK(BM_FreshDriverConnection_PostgreSQL)->MinTime(0.5);
BENCHMARK(BM_StringBuilderValue);
BENCHMARK(BM_StdStringJoin);

}  // namespace
}  // namespace quorvan

BENCHMARK_MAIN();
