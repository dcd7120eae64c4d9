// Module VexaLibrary: the host platform's SQL literal formatter.
#include "host/vexa_library/utilities.h"
#include "platform/automation/class_registry.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::RegisterClass<quorvan::host::Utilities>(registry);
}
