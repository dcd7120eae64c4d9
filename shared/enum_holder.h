// EnumHolder: a creatable class without members whose only purpose is to carry published
// enumerations into its module's type library ("QuorvanUtility.Lib_Enum",
// "QuorvanGeneral.Enums"). Stateless.
#pragma once

#include <string>
#include <vector>

#include "platform/automation/class_registry.h"

namespace quorvan::shared {

class EnumHolder : public Object {
 public:
  explicit EnumHolder(const ClassInfo& info) : info_(info) {}
  const ClassInfo& Class() const override { return info_; }

 private:
  const ClassInfo& info_;  // static, lives as long as the module
};

// Registers "<library>.Lib_Enum" with the shared enumerations.
void RegisterLibEnum(ClassRegistry& registry, const std::string& library);
// Registers a member-less class with the given enumerations.
void RegisterEnumHolder(ClassRegistry& registry, const std::string& class_id,
                        const std::vector<EnumInfo>& enums);

}  // namespace quorvan::shared
