// Module QuorvanUtility: the utility services.
#include "platform/automation/class_registry.h"
#include "shared/enum_holder.h"
#include "shared/method_shape.h"
#include "utility/brenno_wrapper/brenno_wrapper.h"
#include "utility/error_handler/error_handler.h"
#include "utility/file_system/file_system.h"
#include "utility/form_cache/form_cache.h"
#include "utility/general/general.h"
#include "utility/parameter/parameter.h"
#include "utility/string/string_builder.h"

extern "C" __attribute__((visibility("default"))) void QuorvanRegisterModule(
    quorvan::ClassRegistry& registry) {
  quorvan::shared::SetProjectName("QuorvanUtility");
  quorvan::RegisterClass<quorvan::utility::ErrorHandler>(registry);
  quorvan::RegisterClass<quorvan::utility::StringBuilder>(registry);
  quorvan::RegisterClass<quorvan::utility::Parameter>(registry);
  quorvan::RegisterClass<quorvan::utility::BrennoWrapper>(registry);
  quorvan::RegisterClass<quorvan::utility::FileSystem>(registry);
  quorvan::RegisterClass<quorvan::utility::General>(registry);
  quorvan::RegisterClass<quorvan::utility::FormCache>(registry);
  quorvan::shared::RegisterLibEnum(registry, "QuorvanUtility");
}
