// Makes the data classes creatable by class identifier ("Data.Connection", "Data.Recordset"),
// like every other class, as soon as the platform library is loaded.
#include "platform/automation/class_registry.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"

namespace quorvan::data {
namespace {

const bool kRegistered = [] {
  ClassRegistry& registry = ClassRegistry::Instance();
  registry.Register(Connection::Info(),
                    [](const ClassInfo&) { return ObjectPtr(Connection::Create()); });
  registry.Register(Recordset::Info(),
                    [](const ClassInfo&) { return ObjectPtr(Recordset::Create()); });
  return true;
}();

}  // namespace
}  // namespace quorvan::data
