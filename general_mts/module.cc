// Module QuorvanGeneralMTS: attachments and their file stores.
#include "platform/automation/class_registry.h"
#include "shared/enum_holder.h"
#include "shared/method_shape.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::shared::SetProjectName("QuorvanGeneralMTS");
  quorvan::shared::RegisterLibEnum(registry, "QuorvanGeneralMTS");
}
