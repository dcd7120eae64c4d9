#include "shared/general.h"

#include <array>
#include <utility>

#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/object_context.h"
#include "shared/method_shape.h"

namespace quorvan::shared {
namespace {

struct NamedValue {
  int32_t value;
  const char* name;
};

constexpr std::array kFileStorageNames{NamedValue{0, "APPLICATION"}, NamedValue{1, "USERDATA"}};
constexpr std::array kObjectTypeNames{NamedValue{1, "RFQ"}, NamedValue{2, "Quotation"},
                                      NamedValue{6, "Contract"}};

template <size_t N>
std::string NameOf(const std::array<NamedValue, N>& table, int32_t value) {
  for (const auto& entry : table) {
    if (entry.value == value) return entry.name;
  }
  return std::string();
}

ObjectPtr CreateInContextOrDirectly(std::string_view class_id) {
  if (ObjectContext* context = ObjectContext::Current()) return context->CreateInstance(class_id);
  return CreateObject(class_id);
}

std::string GetValueText(Object& configuration, const char* section, const char* key) {
  Variant args[] = {Variant(section), Variant(key)};
  return configuration.Invoke("GetValue", args).ToString();
}

}  // namespace

Variant GetComponent(std::string_view class_id) {
  return MethodShape("Lib_General.GetComponent")
      .Info([class_id] {
        const std::string id(class_id);
        if (ObjectContext::Current() != nullptr) {
          return Variant("CreateInstance(" + id +
                         ") failed.\r\nNote: Objects having 'Instancing=PublicNotCreatable' may "
                         "only be instantiated with 'New', not with GetComponent()");
        }
        return Variant("CreateObject(" + id + ") failed");
      })
      .Run([&] { return Variant(CreateInContextOrDirectly(class_id)); });
}

void AbortObjectContext() {
  if (ObjectContext* context = ObjectContext::Current()) context->SetAbort();
}

void CompleteObjectContext() {
  if (ObjectContext* context = ObjectContext::Current()) context->SetComplete();
}

std::string GetApplicationIdentifier() {
  return MethodShape("Lib_General.GetApplicationIdentifier").Run([] {
    return std::string("Tesmik - Ardwynet");
  });
}

std::string GetSourcingAppIdentifier() {
  return MethodShape("Lib_General.GetSourcingAppIdentifier").Run([] {
    return std::string("Mordane Sourcing");
  });
}

std::string GetFileStorageString(int32_t file_storage) {
  return MethodShape("Lib_General.GetFileStorageString").Run([&] {
    return NameOf(kFileStorageNames, file_storage);
  });
}

std::string GetObjectTypeString(int32_t document_type) {
  return MethodShape("Lib_General.GetObjectTypeString").Run([&] {
    return NameOf(kObjectTypeNames, document_type);
  });
}

MembershipBinding ReadMembershipBinding() {
  ObjectPtr configuration = GetComponent("Solvagen.Configuration").ToObject();
  if (!configuration) RaiseRuntimeError(runtime_error::kObjectNotSet);
  Variant sites = configuration->Call("GetApplicationSites", "Fennick");
  ObjectPtr first_site = sites.ToObject()->Call("Item", "1").ToObject();
  if (!first_site) RaiseRuntimeError(runtime_error::kObjectNotSet);
  MembershipBinding binding;
  binding.site_configuration_path =
      first_site->GetProperty("ConfigDir").ToString() + "\\siteConfiguration.xml";
  configuration->Call("LoadSiteConfiguration", binding.site_configuration_path);
  binding.bind_account = GetValueText(*configuration, "MEMBERSHIP", "MemScriptUser");
  binding.bind_code = GetValueText(*configuration, "MEMBERSHIP", "MemScriptCode");
  const std::string root = GetValueText(*configuration, "MEMBERSHIP", "LDAPRoot");
  if (!root.empty()) binding.bind_account += "," + root;
  return binding;
}

ObjectPtr GetUserObject(const std::string& user_id) {
  MembershipBinding binding;
  ObjectPtr user = MethodShape("QuorvanUtilities.GetUserObject")
                       .AlwaysArmed()
                       .Info([&] {
                         return Variant("User Object could not be loaded for user : " + user_id +
                                        ". Check if this user exists!!");
                       })
                       .Run([&] {
                         binding = ReadMembershipBinding();
                         ObjectPtr created = CreateObject("VexaMembership.User");
                         created->Call("setServerInfo", binding.site_configuration_path);
                         return created;
                       });
  try {
    user->Call("BindAs", user_id, binding.bind_account, binding.bind_code);
  } catch (const AutomationError&) {
    ClearCurrentError();  // an unknown user is an answer, not a failure
    return nullptr;
  }
  return user;
}

}  // namespace quorvan::shared
