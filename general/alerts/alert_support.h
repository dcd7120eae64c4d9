// Small pieces the Alert methods share: optional arguments, the caller's connection, arrays.
#pragma once

#include <memory>
#include <string>

#include "platform/automation/variant.h"
#include "shared/data_access.h"

namespace quorvan::general {

// An optional argument counts as passed unless it is the missing marker.
inline bool Passed(const Variant& argument) { return !argument.IsMissing(); }

// The Connection a by-reference argument holds, or null when it holds none (missing, Nothing,
// Empty). Anything else is a type mismatch.
shared::ConnectionPtr ConnectionIn(const Variant& argument);

// Uses the caller's connection when one is passed, otherwise opens one and closes it at the
// end of the scope (also on failure).
class MethodConnection {
 public:
  explicit MethodConnection(const Variant& argument);
  shared::ConnectionPtr& get() { return owned_.get() ? owned_.get() : borrowed_; }
  data::Connection* operator->() { return get().get(); }

 private:
  shared::ConnectionPtr borrowed_;
  shared::ScopedConnection owned_;
};

// Runs a statement that returns no rows on the connection.
void Execute(shared::ConnectionPtr& connection, const std::string& statement);
// Runs it on a connection of its own, closed afterwards (also on failure).
void ExecuteOnNewConnection(const std::string& statement);

}  // namespace quorvan::general
