// Database access shared by every module: the configured connection, safe closing of
// connections and row sets, and the four generic statements. Statement values become literals
// through the host's SQL literal formatter, chosen by the value's run-time type:
//
//   String   FormatInsertString (INSERT values, UPDATE SET values); FormatString (conditions)
//   Long     FormatLong          Double FormatDouble          Date FormatDate
//   Boolean  1 / 0 (UPDATE conditions: True / False)
//   Empty, Null  NULL (UPDATE conditions: nothing after "=")
//   any other type  its own text form, unquoted
//
// GetTesmikConnection keeps, per thread, the connection settings read from the configuration
// the first time (connection string, then command timeout, connection timeout, cursor
// location); it reads them again only while the cached connection string is blank, and a read
// that fails half way keeps what it had stored.
#pragma once

#include <memory>
#include <string>

#include "platform/automation/variant.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"

namespace quorvan::shared {

using ConnectionPtr = std::shared_ptr<data::Connection>;
using RecordsetPtr = std::shared_ptr<data::Recordset>;

// An open connection to the application database; the caller closes it with CloseConnection.
ConnectionPtr GetTesmikConnection();

// Forgets the calling thread's cached connection settings, so that the next
// GetTesmikConnection reads the configuration again (a thread that switches installations).
void ForgetConnectionSettings();

// Closes an open connection (or row set, dropping pending edits) and clears the reference in
// every case. A reference holding nothing, or a closed object, is fine.
void CloseConnection(ConnectionPtr& connection);
void CloseConnection(Variant& connection);
void CloseRecordset(RecordsetPtr& recordset);
void CloseRecordset(Variant& recordset);

// Whether one row matches all conditions; `connection` may be missing (a connection is then
// opened and closed here) or hold the caller's connection, which stays open.
bool CheckIfExistsInTable(const std::string& table, const Variant& field_names,
                          const Variant& field_values, const Variant& is_string,
                          Variant& connection);

void InsertTable(const std::string& table, const Variant& values, ConnectionPtr& connection);
void UpdateTable(const std::string& table, const Variant& values, const Variant& conditions,
                 ConnectionPtr& connection);
void DeleteTable(const std::string& table, const Variant& conditions, ConnectionPtr& connection);

// The statement texts the three procedures above run, for the same arguments.
std::string InsertStatement(const std::string& table, const Variant& values);
std::string UpdateStatement(const std::string& table, const Variant& values,
                            const Variant& conditions);
std::string DeleteStatement(const std::string& table, const Variant& conditions);

// Owns a connection or row set for the length of a scope and closes it at the end, also while
// an error unwinds the scope (the close then runs unarmed and cannot replace that error).
class ScopedConnection {
 public:
  explicit ScopedConnection(ConnectionPtr connection = nullptr)
      : connection_(std::move(connection)) {}
  ~ScopedConnection();
  ScopedConnection(const ScopedConnection&) = delete;
  ScopedConnection& operator=(const ScopedConnection&) = delete;
  ConnectionPtr& get() { return connection_; }
  data::Connection* operator->() const { return connection_.get(); }

 private:
  ConnectionPtr connection_;
};

class ScopedRecordset {
 public:
  explicit ScopedRecordset(RecordsetPtr recordset = nullptr) : recordset_(std::move(recordset)) {}
  ~ScopedRecordset();
  ScopedRecordset(const ScopedRecordset&) = delete;
  ScopedRecordset& operator=(const ScopedRecordset&) = delete;
  RecordsetPtr& get() { return recordset_; }
  data::Recordset* operator->() const { return recordset_.get(); }

 private:
  RecordsetPtr recordset_;
};

}  // namespace quorvan::shared
