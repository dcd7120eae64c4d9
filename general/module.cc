// Module QuorvanGeneral: alerts and referential-integrity checks.
#include "general/alerts/alert.h"
#include "general/integrity/ri_checker.h"
#include "platform/automation/class_registry.h"
#include "shared/enum_holder.h"
#include "shared/enums.h"
#include "shared/method_shape.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::shared::SetProjectName("QuorvanGeneral");
  quorvan::RegisterClass<quorvan::general::Alert>(registry);
  quorvan::RegisterClass<quorvan::general::RIChecker>(registry);
  quorvan::shared::RegisterLibEnum(registry, "QuorvanGeneral");
  quorvan::shared::RegisterEnumHolder(registry, "QuorvanGeneral.Enums",
                                      quorvan::shared::GeneralEnumerations());
}
