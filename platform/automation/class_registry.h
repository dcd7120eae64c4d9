// ClassRegistry: resolves a class identifier ("Library.Class") or a published class GUID
// ("{...}") to a factory, loading the library's module on first use.
//
// A module is the shared object <component dir>/<Library>.so. It exports one C function,
//   extern "C" void QuorvanRegisterModule(quorvan::ClassRegistry& registry);
// which registers its classes. Modules are loaded with dlopen once and never unloaded.
// The component directory is, in order: SetComponentPath, QUORVAN_COMPONENT_PATH, the folder
// of the running executable.
//
// An unknown class, a missing or unreadable module, or a module without the entry point raise
// error 429 ("Cannot create object") with the reason in the description.
// Thread-safe: registration and lookup are guarded by one mutex.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/automation/class_info.h"
#include "platform/automation/object.h"

namespace quorvan {

class ClassRegistry {
 public:
  // Receives the class table it was registered with.
  using Factory = ObjectPtr (*)(const ClassInfo& info);

  static ClassRegistry& Instance();

  void Register(const ClassInfo& info, Factory factory);
  // Creates an object; error 429 when the class cannot be found or created.
  ObjectPtr Create(std::string_view class_id_or_guid);
  // The class description, loading its module; error 429 when unknown.
  const ClassInfo& Describe(std::string_view class_id_or_guid);
  // Every class registered so far (of the modules loaded so far), in registration order.
  std::vector<const ClassInfo*> LoadedClasses();
  // Loads every module of the component directory, so that GUIDs of all of them resolve.
  void LoadAllModules();

  void SetComponentPath(std::string path);
  std::string ComponentPath();

 private:
  struct Entry {
    const ClassInfo* info;
    Factory factory;
  };
  ClassRegistry() = default;
  const Entry& Resolve(std::string_view class_id_or_guid);
  void LoadModule(const std::string& library);  // caller holds mutex_

  std::recursive_mutex mutex_;
  std::string component_path_;
  std::unordered_map<std::string, Entry> by_lower_id_;  // lower-case class id or GUID
  std::vector<const ClassInfo*> order_;
  std::unordered_set<std::string> loaded_libraries_;
};

// Creates an object by class identifier: ClassRegistry::Instance().Create(class_id).
ObjectPtr CreateObject(std::string_view class_id);

// Registers class C, which must offer `static const ClassInfo& Info()` and a default
// constructor.
template <class C>
void RegisterClass(ClassRegistry& registry) {
  registry.Register(C::Info(), [](const ClassInfo&) { return ObjectPtr(std::make_shared<C>()); });
}

}  // namespace quorvan

extern "C" {
using QuorvanRegisterModuleFunction = void (*)(quorvan::ClassRegistry&);
}
