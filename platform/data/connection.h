// Connection: an open line to a database with the row-set platform's members.
//
//   closed --Open--> open --Close--> closed      (Close hands the session back to the pool)
//
// ConnectionString, CommandTimeout (seconds), ConnectionTimeout (seconds) and CursorLocation
// are set while closed and apply at Open. Execute runs one statement in the provider's dialect
// rewrite (see SqlDialect) and returns an open forward-only read-only Recordset for a
// statement that returns rows, a closed one otherwise; RecordsAffected receives the count.
// BeginTrans/CommitTrans/RollbackTrans run a database transaction on the session.
//
// State: the settings and, while open, one pooled session. One thread at a time.
#pragma once

#include <memory>
#include <string>

#include "platform/automation/object.h"
#include "platform/data/ado_constants.h"
#include "platform/data/session_pool.h"

namespace quorvan::data {

class Recordset;

class Connection : public Object {
 public:
  static std::shared_ptr<Connection> Create();
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  std::string ConnectionString() const { return connection_string_; }
  void SetConnectionString(const std::string& text);
  int32_t CommandTimeout() const { return command_timeout_; }
  void SetCommandTimeout(int32_t seconds);
  int32_t ConnectionTimeout() const { return connection_timeout_; }
  void SetConnectionTimeout(int32_t seconds);
  int32_t CursorLocation() const { return cursor_location_; }
  void SetCursorLocation(int32_t location);
  int32_t State() const { return session_ ? kStateOpen : kStateClosed; }

  // Automation form: every argument optional ("" or missing keeps the property).
  void Open(const Variant& connection_string, const Variant& user_id, const Variant& password,
            const Variant& options);
  ObjectPtr Execute(const std::string& command_text, Variant& records_affected,
                    const Variant& options);
  void Close();
  int32_t BeginTrans();
  void CommitTrans();
  void RollbackTrans();

  // C++ access for row sets: the open session (error 3704 when closed).
  DatabaseSession& session();
  // Runs one statement; returns its rows when it has any (nullptr otherwise).
  std::shared_ptr<Recordset> ExecuteStatement(const std::string& statement,
                                              int64_t* records_affected);

 private:
  Connection() = default;
  void RequireClosed() const;

  std::string connection_string_;
  int32_t command_timeout_ = 30;
  int32_t connection_timeout_ = 15;
  int32_t cursor_location_ = kUseServer;
  PooledSession session_;
};

}  // namespace quorvan::data
