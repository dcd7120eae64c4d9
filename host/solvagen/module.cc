// Module Solvagen: the host platform's configuration store and log.
#include "host/solvagen/configuration.h"
#include "host/solvagen/log.h"
#include "platform/automation/class_registry.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::RegisterClass<quorvan::host::Configuration>(registry);
  quorvan::RegisterClass<quorvan::host::Site>(registry);
  quorvan::RegisterClass<quorvan::host::Log>(registry);
}
