// DatabaseSession: one open connection of a provider (SQLite or PostgreSQL), the layer below
// Connection and Recordset. Statements arrive already in the provider's dialect; values travel
// as bound parameters (Placeholder(i)), never as text.
//
// Values read: integers as Long (Integer for SMALLINT columns, Double beyond 32 bits), floating
// point as Double, text as String, date-time columns as Date, booleans as Boolean, NULL as Null.
// Failures raise the database's own message unchanged, with the provider as source and the
// number by kind: 0x80040E2F integrity violation, 0x80040E14 syntax or unknown object,
// 0x80004005 anything else.
//
// A session belongs to one thread at a time (the pool hands it out and takes it back).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/variant.h"
#include "platform/data/connection_string.h"
#include "platform/data/sql_dialect.h"

namespace quorvan::data {

struct ColumnInfo {
  std::string name;           // as the statement named it; upper case on PostgreSQL
  int32_t type = 0;           // FieldType
  int32_t defined_size = -1;  // characters for text, bytes for numbers; -1 unbounded
  bool nullable = true;
};

struct ResultSet {
  std::vector<ColumnInfo> columns;
  std::vector<std::vector<Variant>> rows;
};

struct SessionSettings {
  int32_t connection_timeout = 15;  // seconds; 0: no limit
  int32_t command_timeout = 30;     // seconds; 0: no limit
  bool create_if_missing = false;   // SQLite: create the database file
};

class DatabaseSession {
 public:
  virtual ~DatabaseSession() = default;

  virtual Provider provider() const = 0;
  virtual const char* provider_name() const = 0;

  // A statement that returns rows; at most max_rows of them (0: all).
  virtual ResultSet Query(const std::string& sql, const std::vector<Variant>& params,
                          int64_t max_rows) = 0;
  // A statement that returns no rows; the number of rows it changed.
  virtual int64_t Execute(const std::string& sql, const std::vector<Variant>& params) = 0;

  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual bool in_transaction() const = 0;

  // Whether the session can serve another caller (rolled back, connection alive).
  virtual bool ResetForReuse() = 0;
  virtual void SetCommandTimeout(int32_t seconds) = 0;

  // Columns that identify a row of `table` for writing back: SQLite's rowid, PostgreSQL's
  // primary key. Empty when the table has none.
  virtual std::vector<std::string> KeyColumns(const std::string& table) = 0;
  // The placeholder of the i-th parameter (0-based) in this provider's syntax.
  virtual std::string Placeholder(size_t index) const = 0;
};

// Opens a session for a parsed connection string; error 3706 for an unknown provider, the
// provider's own error when the database cannot be reached.
std::unique_ptr<DatabaseSession> OpenSession(const ConnectionString& connection,
                                             const SessionSettings& settings);

// The provider named by a connection string; error 3706 when unknown.
Provider ProviderOf(const ConnectionString& connection);

// The text form of a date for the database: 'YYYY-MM-DD HH:MM:SS' (whole seconds).
std::string DateParameterText(double serial);

}  // namespace quorvan::data
