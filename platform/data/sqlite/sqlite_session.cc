#include "platform/data/sqlite/sqlite_session.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_info.h"
#include "platform/data/ado_constants.h"
#include "platform/data/data_error.h"

namespace quorvan::data {
namespace {

constexpr const char* kProvider = "SQLite";

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The field type of a column from its declared type; expressions (no declared type) take the
// type of their first value.
int32_t FieldTypeOf(const char* declared, int storage_class) {
  const std::string type = UpperAscii(declared ? declared : "");
  if (type.empty()) {
    switch (storage_class) {
      case SQLITE_INTEGER:
        return kTypeInteger;
      case SQLITE_FLOAT:
        return kTypeDouble;
      default:
        return kTypeVarWChar;
    }
  }
  if (Has(type, "BOOL")) return kTypeBoolean;
  if (Has(type, "SMALLINT") || Has(type, "TINYINT")) return kTypeSmallInt;
  if (Has(type, "INT")) return kTypeInteger;
  if (Has(type, "DATE") || Has(type, "TIME")) return kTypeDBTimeStamp;
  if (Has(type, "REAL") || Has(type, "FLOA") || Has(type, "DOUB") || Has(type, "NUM") ||
      Has(type, "DEC")) {
    return kTypeDouble;
  }
  if (Has(type, "TEXT") || Has(type, "CLOB")) return kTypeLongVarWChar;
  return kTypeVarWChar;
}

Variant IntegerValue(sqlite3_int64 value, int32_t type) {
  if (type == kTypeBoolean) return Variant(value != 0);
  if (type == kTypeSmallInt && value >= INT16_MIN && value <= INT16_MAX)
    return Variant(static_cast<int16_t>(value));
  if (value >= INT32_MIN && value <= INT32_MAX) return Variant(static_cast<int32_t>(value));
  return Variant(static_cast<double>(value));
}

Variant ColumnValue(sqlite3_stmt* statement, int column, int32_t type) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
      return Variant::Null();
    case SQLITE_INTEGER:
      return IntegerValue(sqlite3_column_int64(statement, column), type);
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(statement, column));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      std::string value(text ? text : "",
                        static_cast<size_t>(sqlite3_column_bytes(statement, column)));
      if (type == kTypeDBTimeStamp) {
        if (const auto serial = ParseIsoDate(value)) return Variant::FromDate(*serial);
      }
      return Variant(std::move(value));
    }
  }
}

void Bind(sqlite3_stmt* statement, int index, const Variant& value) {
  switch (value.type()) {
    case VarType::kEmpty:
    case VarType::kNull:
      sqlite3_bind_null(statement, index);
      return;
    case VarType::kInteger:
    case VarType::kLong:
    case VarType::kByte:
      sqlite3_bind_int64(statement, index, value.ToLong());
      return;
    case VarType::kBoolean:
      sqlite3_bind_int64(statement, index, value.bool_value() ? 1 : 0);
      return;
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kCurrency:
      sqlite3_bind_double(statement, index, value.ToDouble());
      return;
    case VarType::kDate: {
      const std::string text = DateParameterText(value.date_value());
      sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
      return;
    }
    default: {
      const std::string text = value.ToString();
      sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
      return;
    }
  }
}

}  // namespace

void ApplySqlitePragmas(sqlite3* db, int busy_timeout_ms) {
  sqlite3_busy_timeout(db, busy_timeout_ms);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;",
               nullptr, nullptr, nullptr);
}

SqliteSession::SqliteSession(const ConnectionString& connection, const SessionSettings& settings) {
  const std::string path = connection.GetOr("Data Source", "");
  if (path.empty()) {
    RaiseDataError(data_error::kArgumentsWrongType, "QuorvanData.Connection",
                   "SQLite needs a Data Source");
  }
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (settings.create_if_missing) flags |= SQLITE_OPEN_CREATE;
  const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (code != SQLITE_OK) {
    const std::string message =
        std::string(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code)) + ": " + path;
    sqlite3_close(db_);
    db_ = nullptr;
    RaiseProviderError(data_error::kProviderError, kProvider, message);
  }
  sqlite3_extended_result_codes(db_, 1);
  // Waiting for a lock counts against the command timeout; 0 still waits a little, not forever.
  ApplySqlitePragmas(db_, settings.command_timeout > 0 ? settings.command_timeout * 1000 : 60000);
}

SqliteSession::~SqliteSession() { sqlite3_close_v2(db_); }

void SqliteSession::Fail(int code) const {
  const int primary = code & 0xFF;
  const int32_t number = primary == SQLITE_CONSTRAINT ? data_error::kIntegrityViolation
                         : primary == SQLITE_ERROR    ? data_error::kSyntaxError
                                                      : data_error::kProviderError;
  RaiseProviderError(number, kProvider, sqlite3_errmsg(db_));
}

sqlite3_stmt* SqliteSession::Prepare(const std::string& sql, const std::vector<Variant>& params) {
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  const int code =
      sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail);
  if (code != SQLITE_OK) Fail(code);
  if (statement == nullptr) return nullptr;  // only white space or comments
  for (size_t i = 0; i < params.size(); ++i) Bind(statement, static_cast<int>(i + 1), params[i]);
  return statement;
}

ResultSet SqliteSession::Query(const std::string& sql, const std::vector<Variant>& params,
                               int64_t max_rows) {
  Statement statement(Prepare(sql, params));
  ResultSet result;
  if (!statement) return result;
  const int count = sqlite3_column_count(statement.get());
  std::vector<int32_t> types(static_cast<size_t>(count), -1);
  for (int i = 0; i < count; ++i) {
    result.columns.push_back(ColumnInfo{sqlite3_column_name(statement.get(), i), 0, -1, true});
  }
  int code = SQLITE_ROW;
  while ((max_rows <= 0 || static_cast<int64_t>(result.rows.size()) < max_rows) &&
         (code = sqlite3_step(statement.get())) == SQLITE_ROW) {
    std::vector<Variant> row;
    row.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      auto& type = types[static_cast<size_t>(i)];
      if (type < 0)
        type = FieldTypeOf(sqlite3_column_decltype(statement.get(), i),
                           sqlite3_column_type(statement.get(), i));
      row.push_back(ColumnValue(statement.get(), i, type));
    }
    result.rows.push_back(std::move(row));
  }
  if (code != SQLITE_ROW && code != SQLITE_DONE) Fail(code);
  for (int i = 0; i < count; ++i) {
    const auto index = static_cast<size_t>(i);
    result.columns[index].type =
        types[index] >= 0 ? types[index]
                          : FieldTypeOf(sqlite3_column_decltype(statement.get(), i), SQLITE_TEXT);
  }
  return result;
}

int64_t SqliteSession::Execute(const std::string& sql, const std::vector<Variant>& params) {
  Statement statement(Prepare(sql, params));
  if (!statement) return 0;
  int code = SQLITE_ROW;
  while ((code = sqlite3_step(statement.get())) == SQLITE_ROW) {
  }
  if (code != SQLITE_DONE) Fail(code);
  return sqlite3_changes64(db_);
}

void SqliteSession::ExecuteSimple(const char* sql) {
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) Fail(code);
}

void SqliteSession::Begin() { ExecuteSimple("BEGIN IMMEDIATE"); }
void SqliteSession::Commit() { ExecuteSimple("COMMIT"); }
void SqliteSession::Rollback() {
  if (in_transaction()) ExecuteSimple("ROLLBACK");
}
bool SqliteSession::in_transaction() const { return sqlite3_get_autocommit(db_) == 0; }

bool SqliteSession::ResetForReuse() {
  if (in_transaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return !in_transaction();
}

void SqliteSession::SetCommandTimeout(int32_t seconds) {
  sqlite3_busy_timeout(db_, seconds > 0 ? seconds * 1000 : 60000);
}

std::vector<std::string> SqliteSession::KeyColumns(const std::string& /*table*/) {
  return {"rowid"};
}

}  // namespace quorvan::data
