// PostgresSession: a connection to a PostgreSQL server through libpq.
// Connection string keys: Host, Port, Database, User ID, Password, SSL Mode, and Schema (the
// schema to work in, created when missing). The session
// speaks UTF-8, reads dates in ISO form, and applies the command timeout as statement_timeout.
// Unquoted names fold to lower case in PostgreSQL; column names are handed up in upper case,
// the convention of every table here.
#pragma once

#include <libpq-fe.h>

#include <map>
#include <string>
#include <vector>

#include "platform/data/database_session.h"

namespace quorvan::data {

class PostgresSession : public DatabaseSession {
 public:
  PostgresSession(const ConnectionString& connection, const SessionSettings& settings);
  ~PostgresSession() override;
  PostgresSession(const PostgresSession&) = delete;
  PostgresSession& operator=(const PostgresSession&) = delete;

  Provider provider() const override { return Provider::kPostgreSQL; }
  const char* provider_name() const override { return "PostgreSQL"; }
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
  std::string Placeholder(size_t index) const override { return "$" + std::to_string(index + 1); }

 private:
  PGresult* Run(const std::string& sql, const std::vector<Variant>& params);
  // The result, or the database's error raised (the result freed).
  PGresult* Checked(PGresult* result);

  PGconn* conn_ = nullptr;
  int32_t command_timeout_ = -1;  // seconds last applied; -1 before the first
  std::string isolation_;         // the session isolation statement last run
  std::map<std::string, std::vector<std::string>> key_columns_;  // lower-case table -> key
};

}  // namespace quorvan::data
