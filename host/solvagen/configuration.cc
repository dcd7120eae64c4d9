#include "host/solvagen/configuration.h"

#include "host/config/host_call.h"
#include "platform/automation/class_builder.h"
#include "platform/automation/class_info.h"
#include "platform/automation/dictionary.h"

namespace quorvan::host {
namespace {

constexpr const char* kSource = "Solvagen.Configuration";

}  // namespace

const ClassInfo& Configuration::Info() {
  static const ClassInfo info =
      ClassBuilder<Configuration>("Solvagen.Configuration")
          .Method<&Configuration::LoadSiteConfiguration>("LoadSiteConfiguration", {In("Path")})
          .Method<&Configuration::GetValue>("GetValue",
                                            {ByRef("Section", "String"), ByRef("Key", "String")})
          .Method<&Configuration::IsApplicationInstalled>("IsApplicationInstalled",
                                                          {In("ApplicationID")})
          .Method<&Configuration::GetInstallDirectory>("GetInstallDirectory")
          .Method<&Configuration::SelectScope>("SelectScope", {ByRef("Scope", "Long")})
          .Method<&Configuration::SelectApplication>("SelectApplication",
                                                     {In("ApplicationID"), In("Flags")})
          .Method<&Configuration::GetConnectionString>("GetConnectionString", {In("ApplicationID")})
          .Method<&Configuration::GetApplicationSites>("GetApplicationSites", {In("ApplicationID")},
                                                       "Dictionary")
          .Build();
  return info;
}

const QuorvanConfig& Configuration::Config() {
  if (!config_) config_ = QuorvanConfig::FromEnvironment();
  return *config_;
}

void Configuration::LoadSiteConfiguration(const std::string& path) {
  HostCall(kSource, [&] { site_ = SiteConfiguration::Load(path); });
}

Variant Configuration::GetValue(Variant& section, Variant& key) {
  return HostCall(kSource, [&] {
    const std::string section_name = section.ToString();
    const std::string key_name = key.ToString();
    std::optional<std::string> value;
    if (site_ && site_->HasSection(section_name)) {
      value = site_->Get(section_name, key_name);
    } else {
      if (!selected_application_.empty()) {
        value = Config().Get(selected_application_ + "/" + section_name, key_name);
      }
      if (!value) value = Config().Get(section_name, key_name);
    }
    return value ? Variant(*value) : Variant();
  });
}

bool Configuration::IsApplicationInstalled(const std::string& application) {
  return HostCall(kSource, [&] {
    for (const std::string& installed : Config().InstalledApplications()) {
      if (EqualsIgnoringCase(installed, application)) return true;
    }
    return false;
  });
}

std::string Configuration::GetInstallDirectory() {
  return HostCall(kSource,
                  [&] { return Config().GetOr("quorvan", "InstallDirectory", Config().Folder()); });
}

void Configuration::SelectScope(Variant& scope) {
  HostCall(kSource, [&] {
    if (scope.ToLong() != 0)
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "only scope 0 exists");
    selected_application_.clear();
  });
}

void Configuration::SelectApplication(const std::string& application, int32_t /*flag*/) {
  HostCall(kSource, [&] {
    if (!IsApplicationInstalled(application)) {
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                        "application " + application + " is not installed");
    }
    selected_application_ = application;
  });
}

std::string Configuration::GetConnectionString(const std::string& application) {
  return HostCall(kSource, [&] {
    const auto value = Config().Get("connections", application);
    if (!value) {
      RaiseRuntimeError(
          runtime_error::kInvalidProcedureCall,
          "no connection string for application " + application + " in " + Config().path());
    }
    return *value;
  });
}

ObjectPtr Configuration::GetApplicationSites(const std::string& application) {
  return HostCall(kSource, [&] {
    auto sites = Dictionary::Create();
    for (int n = 1;; ++n) {
      const auto dir = Config().Get("sites", application + "." + std::to_string(n));
      if (!dir) break;
      auto site = std::make_shared<Site>();
      site->set_config_dir(*dir);
      sites->Add(Variant(std::to_string(n)), Variant(site));
    }
    return ObjectPtr(sites);
  });
}

const ClassInfo& Site::Info() {
  static const ClassInfo info =
      ClassBuilder<Site>("Solvagen.Site").Get<&Site::ConfigDir>("ConfigDir").Build();
  return info;
}

}  // namespace quorvan::host
