#include "shared/enum_holder.h"

#include <deque>
#include <memory>

#include "shared/enums.h"

namespace quorvan::shared {
namespace {

// Class tables must outlive every object; a module registers each holder once.
std::deque<ClassInfo>& HolderInfos() {
  static std::deque<ClassInfo> infos;
  return infos;
}

}  // namespace

void RegisterEnumHolder(ClassRegistry& registry, const std::string& class_id,
                        const std::vector<EnumInfo>& enums) {
  ClassInfo& info = HolderInfos().emplace_back(class_id, std::vector<MemberInfo>{});
  info.enums = enums;
  registry.Register(info, [](const ClassInfo& registered) {
    return ObjectPtr(std::make_shared<EnumHolder>(registered));
  });
}

void RegisterLibEnum(ClassRegistry& registry, const std::string& library) {
  RegisterEnumHolder(registry, library + ".Lib_Enum", SharedEnumerations());
}

}  // namespace quorvan::shared
