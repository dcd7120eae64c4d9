#include "platform/data/postgres/postgres_session.h"

#include <cctype>
#include <cstdlib>
#include <memory>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_info.h"
#include "platform/data/ado_constants.h"
#include "platform/data/data_error.h"

namespace quorvan::data {
namespace {

constexpr const char* kProvider = "PostgreSQL";
constexpr const char* kSetIsolation = "SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ";

// Type OIDs of the built-in types this layer maps.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kFloat4 = 700,
              kFloat8 = 701, kBpChar = 1042, kVarChar = 1043, kDate = 1082, kTimestamp = 1114,
              kTimestampTz = 1184, kNumeric = 1700;

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

int32_t FieldTypeOf(Oid type) {
  switch (type) {
    case kBool:
      return kTypeBoolean;
    case kInt2:
      return kTypeSmallInt;
    case kInt4:
      return kTypeInteger;
    case kInt8:
      return kTypeBigInt;
    case kFloat4:
      return kTypeSingle;
    case kFloat8:
    case kNumeric:
      return kTypeDouble;
    case kDate:
    case kTimestamp:
    case kTimestampTz:
      return kTypeDBTimeStamp;
    case kText:
      return kTypeLongVarWChar;
    default:
      return kTypeVarWChar;
  }
}

int32_t DefinedSizeOf(Oid type, int modifier) {
  if ((type == kVarChar || type == kBpChar) && modifier >= 4) return modifier - 4;
  switch (type) {
    case kInt2:
      return 2;
    case kInt4:
      return 4;
    case kInt8:
    case kFloat8:
      return 8;
    default:
      return -1;
  }
}

Variant ValueOf(const char* text, int length, Oid type) {
  switch (type) {
    case kBool:
      return Variant(text[0] == 't');
    case kInt2:
      return Variant(static_cast<int16_t>(std::atoi(text)));
    case kInt4:
      return Variant(static_cast<int32_t>(std::atol(text)));
    case kInt8: {
      const long long value = std::atoll(text);
      if (value >= INT32_MIN && value <= INT32_MAX) return Variant(static_cast<int32_t>(value));
      return Variant(static_cast<double>(value));
    }
    case kFloat4:
    case kFloat8:
    case kNumeric:
      return Variant(std::strtod(text, nullptr));
    case kDate:
    case kTimestamp:
    case kTimestampTz: {
      std::string value(text, static_cast<size_t>(length));
      if (value.size() > 19) value.resize(19);  // fractions and zones: whole seconds, local time
      if (const auto serial = ParseIsoDate(value)) return Variant::FromDate(*serial);
      return Variant(std::string(text, static_cast<size_t>(length)));
    }
    default:
      return Variant(std::string(text, static_cast<size_t>(length)));
  }
}

std::string ParameterText(const Variant& value) {
  switch (value.type()) {
    case VarType::kBoolean:
      return value.bool_value() ? "1" : "0";
    case VarType::kDate:
      return DateParameterText(value.date_value());
    case VarType::kDouble:
    case VarType::kSingle: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.17g", value.ToDouble());
      return buffer;
    }
    default:
      return value.ToString();
  }
}

[[noreturn]] void FailWith(const PGresult* result, PGconn* conn) {
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  std::string message = primary ? primary : PQerrorMessage(conn);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  int32_t number = data_error::kProviderError;
  if (state && state[0] == '2' && state[1] == '3') number = data_error::kIntegrityViolation;
  if (state && state[0] == '4' && state[1] == '2') number = data_error::kSyntaxError;
  RaiseProviderError(number, kProvider, message);
}

}  // namespace

PostgresSession::PostgresSession(const ConnectionString& connection,
                                 const SessionSettings& settings) {
  const std::string timeout =
      std::to_string(settings.connection_timeout > 0 ? settings.connection_timeout : 0);
  const std::string host = connection.GetOr("Host", connection.GetOr("Server", "localhost"));
  const std::string port = connection.GetOr("Port", "5432");
  const std::string database =
      connection.GetOr("Database", connection.GetOr("Initial Catalog", ""));
  const std::string user = connection.GetOr("User ID", connection.GetOr("User", ""));
  const std::string password = connection.GetOr("Password", "");
  const std::string ssl_mode = connection.GetOr("SSL Mode", "prefer");
  const char* keys[] = {"host",
                        "port",
                        "dbname",
                        "user",
                        "password",
                        "connect_timeout",
                        "sslmode",
                        "client_encoding",
                        "application_name",
                        nullptr};
  const char* values[] = {host.c_str(),     port.c_str(),    database.c_str(), user.c_str(),
                          password.c_str(), timeout.c_str(), ssl_mode.c_str(), "UTF8",
                          "quorvan",        nullptr};
  conn_ = PQconnectdbParams(keys, values, 0);
  if (PQstatus(conn_) != CONNECTION_OK) {
    std::string message = PQerrorMessage(conn_);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    PQfinish(conn_);
    conn_ = nullptr;
    RaiseProviderError(data_error::kProviderError, kProvider, message);
  }
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);  // notices are no errors
  Result(Run("SET DateStyle = ISO", {}));
  if (const auto schema = connection.Get("Schema"); schema && !schema->empty()) {
    // A schema of its own per connection string: tests and tenants stay apart.
    char* quoted = PQescapeIdentifier(conn_, schema->c_str(), schema->size());
    const std::string name = quoted ? quoted : "";
    PQfreemem(quoted);
    Result(Run("CREATE SCHEMA IF NOT EXISTS " + name, {}));
    Result(Run("SET search_path TO " + name, {}));
  }
  SetCommandTimeout(settings.command_timeout);
}

PostgresSession::~PostgresSession() { PQfinish(conn_); }

PGresult* PostgresSession::Run(const std::string& sql, const std::vector<Variant>& params) {
  if (params.empty()) return Checked(PQexec(conn_, sql.c_str()));  // one round trip, no parse/bind
  std::vector<std::string> texts;
  std::vector<const char*> values;
  texts.reserve(params.size());
  for (const Variant& param : params) {
    if (param.IsNull() || param.IsEmpty()) {
      texts.emplace_back();
      values.push_back(nullptr);
    } else {
      texts.push_back(ParameterText(param));
      values.push_back(nullptr);
    }
  }
  for (size_t i = 0; i < params.size(); ++i) {
    if (!(params[i].IsNull() || params[i].IsEmpty())) values[i] = texts[i].c_str();
  }
  return Checked(PQexecParams(conn_, sql.c_str(), static_cast<int>(params.size()), nullptr,
                              values.data(), nullptr, nullptr, 0));
}

PGresult* PostgresSession::Checked(PGresult* result) {
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY) {
    Result owned(result);
    FailWith(result, conn_);
  }
  return result;
}

ResultSet PostgresSession::Query(const std::string& sql, const std::vector<Variant>& params,
                                 int64_t max_rows) {
  Result result(Run(sql, params));
  ResultSet rows;
  const int columns = PQnfields(result.get());
  for (int c = 0; c < columns; ++c) {
    const Oid type = PQftype(result.get(), c);
    rows.columns.push_back(ColumnInfo{UpperAscii(PQfname(result.get(), c)), FieldTypeOf(type),
                                      DefinedSizeOf(type, PQfmod(result.get(), c)), true});
  }
  int count = PQntuples(result.get());
  if (max_rows > 0 && count > max_rows) count = static_cast<int>(max_rows);
  rows.rows.reserve(static_cast<size_t>(count));
  for (int r = 0; r < count; ++r) {
    std::vector<Variant> row;
    row.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
      if (PQgetisnull(result.get(), r, c)) {
        row.push_back(Variant::Null());
      } else {
        row.push_back(ValueOf(PQgetvalue(result.get(), r, c), PQgetlength(result.get(), r, c),
                              PQftype(result.get(), c)));
      }
    }
    rows.rows.push_back(std::move(row));
  }
  return rows;
}

int64_t PostgresSession::Execute(const std::string& sql, const std::vector<Variant>& params) {
  // Components set the isolation level on every connection they open; a pooled session keeps
  // it, so the same setting again needs no round trip.
  const bool sets_isolation = sql.rfind(kSetIsolation, 0) == 0;
  if (sets_isolation && sql == isolation_) return 0;
  Result result(Run(sql, params));
  if (sets_isolation) isolation_ = sql;
  const char* affected = PQcmdTuples(result.get());
  return affected && *affected ? std::atoll(affected) : 0;
}

void PostgresSession::Begin() { Result(Run("BEGIN", {})); }
void PostgresSession::Commit() { Result(Run("COMMIT", {})); }
void PostgresSession::Rollback() {
  if (in_transaction()) Result(Run("ROLLBACK", {}));
}

bool PostgresSession::in_transaction() const {
  const PGTransactionStatusType status = PQtransactionStatus(conn_);
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool PostgresSession::ResetForReuse() {
  if (PQstatus(conn_) != CONNECTION_OK) return false;
  if (in_transaction()) PQclear(PQexec(conn_, "ROLLBACK"));
  return PQtransactionStatus(conn_) == PQTRANS_IDLE;
}

void PostgresSession::SetCommandTimeout(int32_t seconds) {
  if (seconds < 0) seconds = 0;
  if (seconds == command_timeout_) return;  // a pooled session usually has it already
  Result(Run("SET statement_timeout = " + std::to_string(seconds * 1000), {}));
  command_timeout_ = seconds;
}

std::vector<std::string> PostgresSession::KeyColumns(const std::string& table) {
  std::string lower = table;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (auto found = key_columns_.find(lower); found != key_columns_.end()) return found->second;
  const ResultSet keys = Query(
      "SELECT a.attname FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid AND "
      "a.attnum = ANY(i.indkey) WHERE i.indrelid = to_regclass($1) AND i.indisprimary ORDER BY "
      "array_position(i.indkey::int2[], a.attnum)",
      {Variant(lower)}, 0);
  std::vector<std::string> columns;
  for (const auto& row : keys.rows) columns.push_back(row[0].ToString());
  key_columns_[lower] = columns;
  return columns;
}

}  // namespace quorvan::data
