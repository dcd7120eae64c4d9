#include <iostream>

#include "host/config/quorvan_config.h"
#include "platform/automation/error_record.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/installation.h"

namespace quorvan::tool {
namespace {

int InitDatabases(Arguments& args) {
  args.ExpectEnd();
  const int statements =
      InitializeDatabases(ConnectionsOf(host::QuorvanConfig::PathFromEnvironment()));
  std::cout << "{\"schemaStatements\": " << statements << "}\n";
  return kExitOk;
}

// One statement through the data layer, as the components run it (same dialect).
int Query(Arguments& args) {
  std::string application = "Hadrell";
  if (args.TakeFlag("--app")) application = args.Take("application after --app");
  const std::string statement = args.Take("SQL");
  args.ExpectEnd();
  const DatabaseConnections connections = ConnectionsOf(host::QuorvanConfig::PathFromEnvironment());
  std::string connection_string;
  if (application == "Hadrell")
    connection_string = connections.application;
  else if (application == "Jassoway")
    connection_string = connections.common;
  else
    throw UsageError("--app is Hadrell (application tables) or Jassoway (common tables)");

  auto connection = data::Connection::Create();
  connection->Open(Variant(connection_string), Variant(), Variant(), Variant());
  int64_t affected = 0;
  const std::shared_ptr<data::Recordset> rows = connection->ExecuteStatement(statement, &affected);
  std::string body = rows ? json::RecordsetJson(*rows) : "{\"fields\": [], \"rows\": []}";
  body.pop_back();  // reopen the object to add the count
  std::cout << body << ", \"recordsAffected\": " << affected << "}\n";
  connection->Close();
  return kExitOk;
}

}  // namespace

int DbCommand(Arguments& args) {
  const std::string action = args.Take("init or query");
  if (action == "init") return InitDatabases(args);
  if (action == "query") return Query(args);
  throw UsageError("db: unknown action '" + action + "' (init or query)");
}

}  // namespace quorvan::tool
