#include "db/schema_loader.h"

#include <sstream>

#include "db/schema_text.h"
#include "platform/automation/error_record.h"
#include "platform/data/connection_string.h"
#include "platform/data/database_session.h"

namespace quorvan::db {

const std::string& SchemaText(bool postgresql) {
  static const std::string sqlite(kSqliteSchema);
  static const std::string postgres(kPostgresSchema);
  return postgresql ? postgres : sqlite;
}

std::vector<std::string> SplitSchema(const std::string& text) {
  std::vector<std::string> statements;
  std::istringstream lines(text);
  std::string line;
  std::string current;
  while (std::getline(lines, line)) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line.compare(first, 2, "--") == 0) continue;
    current += line + "\n";
    const size_t last = line.find_last_not_of(" \t\r");
    if (line[last] == ';') {
      statements.push_back(current);
      current.clear();
    }
  }
  if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
  return statements;
}

int ApplySchema(const std::string& connection_string) {
  const data::ConnectionString parsed = data::ConnectionString::Parse(connection_string);
  data::SessionSettings settings;
  settings.create_if_missing = true;
  settings.command_timeout = 0;
  auto session = data::OpenSession(parsed, settings);
  const bool postgresql = session->provider() == data::Provider::kPostgreSQL;
  int count = 0;
  std::vector<std::string> statements = SplitSchema(SchemaText(postgresql));
  for (std::string& label : SplitSchema(kLabels)) statements.push_back(std::move(label));
  for (const std::string& statement : statements) {
    try {
      session->Execute(statement, {});
    } catch (const AutomationError& failure) {
      ErrorRecord record = failure.record();
      record.description +=
          " (schema statement: " + statement.substr(0, statement.find('\n')) + ")";
      throw AutomationError(record);
    }
    ++count;
  }
  return count;
}

}  // namespace quorvan::db
