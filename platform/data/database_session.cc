#include "platform/data/database_session.h"

#include <cmath>
#include <cstdio>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_info.h"
#include "platform/data/ado_constants.h"
#include "platform/data/data_error.h"
#include "platform/data/postgres/postgres_session.h"
#include "platform/data/sqlite/sqlite_session.h"

namespace quorvan::data {

Provider ProviderOf(const ConnectionString& connection) {
  const std::string name = connection.GetOr("Provider", "");
  if (EqualsIgnoringCase(name, "SQLite")) return Provider::kSQLite;
  if (EqualsIgnoringCase(name, "PostgreSQL")) return Provider::kPostgreSQL;
  RaiseDataError(
      data_error::kProviderNotFound, "QuorvanData.Connection",
      name.empty() ? "the connection string names no Provider" : "unknown provider '" + name + "'");
}

std::unique_ptr<DatabaseSession> OpenSession(const ConnectionString& connection,
                                             const SessionSettings& settings) {
  switch (ProviderOf(connection)) {
    case Provider::kSQLite:
      return std::make_unique<SqliteSession>(connection, settings);
    case Provider::kPostgreSQL:
      return std::make_unique<PostgresSession>(connection, settings);
  }
  return nullptr;
}

std::string DateParameterText(double serial) {
  const CivilDateTime c = FromDateSerial(std::round(serial * 86400.0) / 86400.0);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                c.hour, c.minute, c.second);
  return buffer;
}

}  // namespace quorvan::data
