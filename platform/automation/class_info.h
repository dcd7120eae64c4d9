// ClassInfo: the published description of a creatable class: its class identifier, optional
// class and interface GUIDs, and its members in slot order with their parameters. The same
// table drives late-bound calls (Object::Invoke) and `quorvan describe`.
//
// Built once per class with ClassBuilder and never changed afterwards, so it may be read from
// any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/automation/variant.h"

namespace quorvan {

class Object;

enum class MemberKind : uint8_t { kMethod, kPropertyGet, kPropertyPut };

struct ParamInfo {
  std::string name;
  VarType type = VarType::kVariant;  // what a by-value argument is converted to before the call
  std::string type_name;             // as published ("String", "Dictionary", "EUserRole")
  bool by_ref = false;
  bool optional = false;
};

// Receives one Variant per declared parameter, already bound and converted.
using MemberThunk = Variant (*)(Object& self, Variant* const* args);

struct MemberInfo {
  std::string name;
  MemberKind kind = MemberKind::kMethod;
  std::vector<ParamInfo> params;
  std::string result_type;  // as published; empty for none
  MemberThunk thunk = nullptr;
};

// Published enumeration: members in declaration order.
struct EnumInfo {
  std::string name;
  std::vector<std::pair<std::string, int32_t>> members;
};

class ClassInfo {
 public:
  ClassInfo(std::string class_id, std::vector<MemberInfo> members);

  const std::string& class_id() const { return class_id_; }
  // The part after the library name: "Alert" of "QuorvanGeneral.Alert".
  const std::string& class_name() const { return class_name_; }
  const std::vector<MemberInfo>& members() const { return members_; }

  // Looks a member up by name, ignoring case; nullptr when the class has no such member.
  // kMethod falls back to a property get of the same name.
  const MemberInfo* Find(std::string_view name, MemberKind kind) const;

  // Published identifiers, "{...}" form; empty when the class publishes none.
  std::string clsid;
  std::string iid;
  std::string interface_name;
  // Enumerations that the class carries into its module's type library.
  std::vector<EnumInfo> enums;

 private:
  std::string class_id_;
  std::string class_name_;
  std::vector<MemberInfo> members_;
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, std::vector<size_t>, NameHash, std::equal_to<>> by_lower_name_;
};

// ASCII lower and upper case, for member, parameter, column and type names.
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorvan
