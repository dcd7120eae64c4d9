// Module VexaMembership: the membership directory's user object.
#include "host/vexa_membership/user.h"
#include "platform/automation/class_registry.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::RegisterClass<quorvan::host::User>(registry);
}
