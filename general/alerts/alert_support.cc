#include "general/alerts/alert_support.h"

#include "platform/automation/error_record.h"

namespace quorvan::general {

shared::ConnectionPtr ConnectionIn(const Variant& argument) {
  if (argument.IsMissing() || argument.IsEmpty() ||
      (argument.IsObject() && !argument.object_ref())) {
    return nullptr;
  }
  auto connection = std::dynamic_pointer_cast<data::Connection>(argument.ToObject());
  if (!connection) RaiseRuntimeError(runtime_error::kTypeMismatch, "a Connection is needed");
  return connection;
}

MethodConnection::MethodConnection(const Variant& argument) : borrowed_(ConnectionIn(argument)) {
  if (!borrowed_) owned_.get() = shared::GetTesmikConnection();
}

void Execute(shared::ConnectionPtr& connection, const std::string& statement) {
  connection->ExecuteStatement(statement, nullptr);
}

void ExecuteOnNewConnection(const std::string& statement) {
  shared::ScopedConnection connection(shared::GetTesmikConnection());
  Execute(connection.get(), statement);
}

}  // namespace quorvan::general
