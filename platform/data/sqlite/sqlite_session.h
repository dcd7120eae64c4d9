// SqliteSession: a connection to an SQLite database file (the embedded default).
// Opened with the WAL journal, synchronous=NORMAL (durable at checkpoints, never corrupt),
// foreign keys on, and a busy timeout so that concurrent writers wait instead of failing.
// Dates are stored as text 'YYYY-MM-DD HH:MM:SS', which sorts chronologically.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/data/database_session.h"

namespace quorvan::data {

class SqliteSession : public DatabaseSession {
 public:
  SqliteSession(const ConnectionString& connection, const SessionSettings& settings);
  ~SqliteSession() override;
  SqliteSession(const SqliteSession&) = delete;
  SqliteSession& operator=(const SqliteSession&) = delete;

  Provider provider() const override { return Provider::kSQLite; }
  const char* provider_name() const override { return "SQLite"; }
  ResultSet Query(const std::string& sql, const std::vector<Variant>& params,
                  int64_t max_rows) override;
  int64_t Execute(const std::string& sql, const std::vector<Variant>& params) override;
  void Begin() override;
  void Commit() override;
  void Rollback() override;
  bool in_transaction() const override;
  bool ResetForReuse() override;
  void SetCommandTimeout(int32_t seconds) override;
  std::vector<std::string> KeyColumns(const std::string& table) override;
  std::string Placeholder(size_t index) const override { return "?" + std::to_string(index + 1); }

  sqlite3* handle() const { return db_; }

 private:
  [[noreturn]] void Fail(int code) const;
  sqlite3_stmt* Prepare(const std::string& sql, const std::vector<Variant>& params);
  void ExecuteSimple(const char* sql);

  sqlite3* db_ = nullptr;
};

// The pragmas every connection gets, for the benchmarks' raw baseline too.
void ApplySqlitePragmas(sqlite3* db, int busy_timeout_ms);

}  // namespace quorvan::data
