// Module Kimbrel: the stand-in of the sibling component that knows RFI responses.
#include "host/kimbrel/rfi_response.h"
#include "platform/automation/class_registry.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::RegisterClass<quorvan::host::RFIResponse>(registry);
}
