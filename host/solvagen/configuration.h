// "Solvagen.Configuration": the host platform's configuration store over the installation's
// INI file (QuorvanConfig) and, once LoadSiteConfiguration has been called, a site's XML file.
//
// GetValue(section, key) answers, in this order: the loaded site configuration when it has
// that section; "[APP/SECTION]" of the selected application; the global "[SECTION]". A key
// found nowhere gives Empty. SelectScope(0) selects the global scope (no application).
//
// State between calls: the selected application and the loaded site file. One object per use;
// not for two threads at once.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/config/quorvan_config.h"
#include "host/config/site_configuration.h"
#include "platform/automation/object.h"

namespace quorvan::host {

class Configuration : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  void LoadSiteConfiguration(const std::string& path);
  Variant GetValue(Variant& section, Variant& key);
  bool IsApplicationInstalled(const std::string& application);
  std::string GetInstallDirectory();
  void SelectScope(Variant& scope);
  void SelectApplication(const std::string& application, int32_t flag);
  std::string GetConnectionString(const std::string& application);
  ObjectPtr GetApplicationSites(const std::string& application);

 private:
  const QuorvanConfig& Config();

  std::shared_ptr<const QuorvanConfig> config_;  // loaded on first use
  std::string selected_application_;             // empty: global scope
  std::optional<SiteConfiguration> site_;
};

// "Solvagen.Site": one site of an application, as GetApplicationSites returns it.
class Site : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }
  void set_config_dir(std::string dir) { config_dir_ = std::move(dir); }
  std::string ConfigDir() const { return config_dir_; }

 private:
  std::string config_dir_;
};

}  // namespace quorvan::host
