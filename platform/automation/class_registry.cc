#include "platform/automation/class_registry.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/automation/dictionary.h"
#include "platform/automation/error_record.h"

namespace quorvan {
namespace {

constexpr const char* kEntryPoint = "QuorvanRegisterModule";

[[noreturn]] void CannotCreate(const std::string& why) {
  RaiseRuntimeError(runtime_error::kCannotCreateObject, why, kRuntimeSource);
}

std::string ExecutableFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

bool IsSafeLibraryName(const std::string& library) {
  if (library.empty()) return false;
  for (char c : library) {
    const bool ok =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

ClassRegistry& ClassRegistry::Instance() {
  // Never destroyed: modules stay loaded and their class tables with them.
  static ClassRegistry* registry = [] {
    auto* created = new ClassRegistry();
    created->Register(Dictionary::Info(),
                      [](const ClassInfo&) { return ObjectPtr(Dictionary::Create()); });
    return created;
  }();
  return *registry;
}

void ClassRegistry::Register(const ClassInfo& info, Factory factory) {
  std::lock_guard lock(mutex_);
  const auto [it, inserted] =
      by_lower_id_.emplace(LowerAscii(info.class_id()), Entry{&info, factory});
  if (!inserted) return;
  order_.push_back(&info);
  if (!info.clsid.empty()) by_lower_id_.emplace(LowerAscii(info.clsid), Entry{&info, factory});
}

void ClassRegistry::SetComponentPath(std::string path) {
  std::lock_guard lock(mutex_);
  component_path_ = std::move(path);
}

std::string ClassRegistry::ComponentPath() {
  std::lock_guard lock(mutex_);
  if (!component_path_.empty()) return component_path_;
  if (const char* env = std::getenv("QUORVAN_COMPONENT_PATH"); env && *env) return env;
  return ExecutableFolder();
}

void ClassRegistry::LoadModule(const std::string& library) {
  if (loaded_libraries_.count(library)) return;
  if (!IsSafeLibraryName(library)) CannotCreate("invalid library name '" + library + "'");
  const std::string path = ComponentPath() + "/" + library + ".so";
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    CannotCreate("module " + path + " cannot be loaded (" + (reason ? reason : "unknown") + ")");
  }
  auto entry = reinterpret_cast<QuorvanRegisterModuleFunction>(dlsym(handle, kEntryPoint));
  if (entry == nullptr) CannotCreate("module " + path + " has no " + kEntryPoint);
  loaded_libraries_.insert(library);
  entry(*this);
}

void ClassRegistry::LoadAllModules() {
  std::lock_guard lock(mutex_);
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator(ComponentPath(), error)) {
    if (file.path().extension() != ".so") continue;
    const std::string library = file.path().stem().string();
    if (!IsSafeLibraryName(library)) continue;
    try {
      LoadModule(library);
    } catch (const AutomationError&) {
      // A file that is not one of our modules is no reason to refuse the others.
    }
  }
}

const ClassRegistry::Entry& ClassRegistry::Resolve(std::string_view class_id_or_guid) {
  std::lock_guard lock(mutex_);
  const std::string key = LowerAscii(class_id_or_guid);
  if (auto found = by_lower_id_.find(key); found != by_lower_id_.end()) return found->second;
  if (!key.empty() && key.front() == '{') {
    LoadAllModules();
  } else {
    const size_t dot = class_id_or_guid.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == class_id_or_guid.size()) {
      CannotCreate("'" + std::string(class_id_or_guid) + "' is not a class identifier");
    }
    LoadModule(std::string(class_id_or_guid.substr(0, dot)));
  }
  if (auto found = by_lower_id_.find(key); found != by_lower_id_.end()) return found->second;
  CannotCreate("class " + std::string(class_id_or_guid) + " is not registered");
}

ObjectPtr ClassRegistry::Create(std::string_view class_id_or_guid) {
  const Entry& entry = Resolve(class_id_or_guid);
  ObjectPtr object = entry.factory(*entry.info);
  if (!object) CannotCreate(std::string(class_id_or_guid));
  return object;
}

const ClassInfo& ClassRegistry::Describe(std::string_view class_id_or_guid) {
  return *Resolve(class_id_or_guid).info;
}

std::vector<const ClassInfo*> ClassRegistry::LoadedClasses() {
  std::lock_guard lock(mutex_);
  return order_;
}

ObjectPtr CreateObject(std::string_view class_id) {
  return ClassRegistry::Instance().Create(class_id);
}

}  // namespace quorvan
