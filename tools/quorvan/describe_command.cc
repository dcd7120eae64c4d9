#include <iostream>

#include "platform/automation/class_registry.h"
#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"

namespace quorvan::tool {
namespace {

const char* KindName(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet:
      return "property get";
    case MemberKind::kPropertyPut:
      return "property put";
    default:
      return "method";
  }
}

std::string EnumJson(const EnumInfo& info) {
  std::string out = "{\"enum\": " + json::QuoteJson(info.name) + ", \"members\": [";
  for (size_t i = 0; i < info.members.size(); ++i) {
    out += (i ? ", " : "") + std::string("[") + json::QuoteJson(info.members[i].first) + ", " +
           std::to_string(info.members[i].second) + "]";
  }
  return out + "]}";
}

std::string ClassJson(const ClassInfo& info) {
  std::string out = "{\"class\": " + json::QuoteJson(info.class_id());
  if (!info.clsid.empty()) {
    out += ",\n \"clsid\": " + json::QuoteJson(info.clsid) +
           ", \"iid\": " + json::QuoteJson(info.iid) +
           ", \"interface\": " + json::QuoteJson(info.interface_name);
  }
  out += ",\n \"members\": [";
  for (size_t i = 0; i < info.members().size(); ++i) {
    const MemberInfo& member = info.members()[i];
    out += std::string(i ? "," : "") + "\n  {\"slot\": " + std::to_string(i + 1) +
           ", \"name\": " + json::QuoteJson(member.name) + ", \"kind\": \"" +
           KindName(member.kind) + "\", \"params\": [";
    for (size_t p = 0; p < member.params.size(); ++p) {
      const ParamInfo& param = member.params[p];
      out += std::string(p ? ", " : "") + "{\"name\": " + json::QuoteJson(param.name) +
             ", \"type\": " + json::QuoteJson(param.type_name) +
             ", \"byref\": " + (param.by_ref ? "true" : "false") +
             ", \"optional\": " + (param.optional ? "true" : "false") + "}";
    }
    out +=
        "], \"result\": " +
        (member.result_type.empty() ? std::string("null") : json::QuoteJson(member.result_type)) +
        "}";
  }
  out += info.members().empty() ? "]" : "\n ]";
  out += ",\n \"enums\": [";
  for (size_t i = 0; i < info.enums.size(); ++i)
    out += (i ? ",\n  " : "\n  ") + EnumJson(info.enums[i]);
  out += info.enums.empty() ? "]}" : "\n ]}";
  return out;
}

// An enumeration by name: "EAlertType" or "QuorvanGeneral.EAllOrSpecific".
const EnumInfo* FindEnumeration(const std::string& name) {
  ClassRegistry::Instance().LoadAllModules();
  const size_t dot = name.find('.');
  const std::string library = dot == std::string::npos ? "" : name.substr(0, dot);
  const std::string enum_name = dot == std::string::npos ? name : name.substr(dot + 1);
  for (const ClassInfo* info : ClassRegistry::Instance().LoadedClasses()) {
    if (!library.empty() &&
        !EqualsIgnoringCase(info->class_id().substr(0, info->class_id().find('.')), library))
      continue;
    for (const EnumInfo& enumeration : info->enums) {
      if (EqualsIgnoringCase(enumeration.name, enum_name)) return &enumeration;
    }
  }
  return nullptr;
}

}  // namespace

int DescribeCommand(Arguments& args) {
  const std::string name = args.Take("CLASSID or ENUMERATION");
  args.ExpectEnd();
  try {
    std::cout << ClassJson(ClassRegistry::Instance().Describe(name)) << "\n";
    return kExitOk;
  } catch (const AutomationError& e) {
    if (const EnumInfo* enumeration = FindEnumeration(name)) {
      std::cout << EnumJson(*enumeration) << "\n";
      return kExitOk;
    }
    std::cout << ErrorDocument(e.record()) << "\n";
    return kExitError;
  }
}

}  // namespace quorvan::tool
