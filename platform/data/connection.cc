#include "platform/data/connection.h"

#include "platform/automation/class_builder.h"
#include "platform/data/data_error.h"
#include "platform/data/recordset.h"
#include "platform/data/sql_dialect.h"

namespace quorvan::data {
namespace {

constexpr const char* kSource = "QuorvanData.Connection";

bool Given(const Variant& value) {
  return !value.IsMissing() && !value.IsEmpty() &&
         !(value.IsString() && value.string_ref().empty());
}

}  // namespace

std::shared_ptr<Connection> Connection::Create() {
  return std::shared_ptr<Connection>(new Connection());
}

const ClassInfo& Connection::Info() {
  static const ClassInfo info =
      ClassBuilder<Connection>("Data.Connection")
          .Get<&Connection::ConnectionString>("ConnectionString")
          .Put<&Connection::SetConnectionString>("ConnectionString", {In("Value")})
          .Get<&Connection::CommandTimeout>("CommandTimeout")
          .Put<&Connection::SetCommandTimeout>("CommandTimeout", {In("Value")})
          .Get<&Connection::ConnectionTimeout>("ConnectionTimeout")
          .Put<&Connection::SetConnectionTimeout>("ConnectionTimeout", {In("Value")})
          .Get<&Connection::CursorLocation>("CursorLocation")
          .Put<&Connection::SetCursorLocation>("CursorLocation", {In("Value")})
          .Get<&Connection::State>("State")
          .Method<&Connection::Open>("Open", {Optional("ConnectionString"), Optional("UserID"),
                                              Optional("Password"), Optional("Options")})
          .Method<&Connection::Execute>(
              "Execute", {In("CommandText"), OptionalByRef("RecordsAffected"), Optional("Options")},
              "Recordset")
          .Method<&Connection::Close>("Close")
          .Method<&Connection::BeginTrans>("BeginTrans")
          .Method<&Connection::CommitTrans>("CommitTrans")
          .Method<&Connection::RollbackTrans>("RollbackTrans")
          .Build();
  return info;
}

void Connection::RequireClosed() const {
  if (session_) RaiseDataError(data_error::kObjectOpen, kSource);
}

void Connection::SetConnectionString(const std::string& text) {
  RequireClosed();
  connection_string_ = text;
}

void Connection::SetCommandTimeout(int32_t seconds) {
  if (seconds < 0) RaiseDataError(data_error::kArgumentsWrongType, kSource, "CommandTimeout");
  command_timeout_ = seconds;
  if (session_) session_->SetCommandTimeout(seconds);
}

void Connection::SetConnectionTimeout(int32_t seconds) {
  RequireClosed();
  if (seconds < 0) RaiseDataError(data_error::kArgumentsWrongType, kSource, "ConnectionTimeout");
  connection_timeout_ = seconds;
}

void Connection::SetCursorLocation(int32_t location) {
  if (location != kUseServer && location != kUseClient) {
    RaiseDataError(data_error::kArgumentsWrongType, kSource, "CursorLocation");
  }
  cursor_location_ = location;
}

void Connection::Open(const Variant& connection_string, const Variant& /*user_id*/,
                      const Variant& /*password*/, const Variant& /*options*/) {
  RequireClosed();
  if (Given(connection_string)) connection_string_ = connection_string.ToString();
  SessionSettings settings;
  settings.command_timeout = command_timeout_;
  settings.connection_timeout = connection_timeout_;
  session_ = SessionPool::Instance().Acquire(connection_string_, settings);
}

DatabaseSession& Connection::session() {
  if (!session_) RaiseDataError(data_error::kObjectClosed, kSource);
  return *session_.get();
}

std::shared_ptr<Recordset> Connection::ExecuteStatement(const std::string& statement,
                                                        int64_t* records_affected) {
  DatabaseSession& db = session();
  const DialectStatement dialect = RewriteForProvider(statement, db.provider());
  if (dialect.sql.empty()) {
    if (records_affected) *records_affected = 0;
    return nullptr;
  }
  if (!dialect.returns_rows) {
    const int64_t affected = db.Execute(dialect.sql, {});
    if (records_affected) *records_affected = affected;
    return nullptr;
  }
  if (records_affected) *records_affected = -1;
  auto recordset = Recordset::Create();
  recordset->OpenResult(db.Query(dialect.sql, {}, 0),
                        std::static_pointer_cast<Connection>(shared_from_this()), statement);
  return recordset;
}

ObjectPtr Connection::Execute(const std::string& command_text, Variant& records_affected,
                              const Variant& /*options*/) {
  int64_t affected = 0;
  std::shared_ptr<Recordset> rows = ExecuteStatement(command_text, &affected);
  if (!records_affected.IsMissing()) records_affected = Variant(static_cast<int32_t>(affected));
  if (!rows) rows = Recordset::Create();  // closed: the statement returned no rows
  return rows;
}

void Connection::Close() {
  if (!session_) RaiseDataError(data_error::kObjectClosed, kSource);
  session_.Release();
  session_ = PooledSession();
}

int32_t Connection::BeginTrans() {
  session().Begin();
  return 1;
}

void Connection::CommitTrans() { session().Commit(); }

void Connection::RollbackTrans() { session().Rollback(); }

}  // namespace quorvan::data
