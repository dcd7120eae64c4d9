// SiteConfiguration: a site's XML configuration file (siteConfiguration.xml), as written by
// `quorvan init`:
//
//   <siteConfiguration>
//     <section name="MEMBERSHIP">
//       <value key="MemScriptUser">quorvan-bind</value>
//     </section>
//   </siteConfiguration>
//
// Section and key names compare ignoring case. Immutable once loaded.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace quorvan::host {

class SiteConfiguration {
 public:
  // `path` may use "\" separators. Error 53 when missing, 75 when not well-formed.
  static SiteConfiguration Load(const std::string& path);

  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  bool HasSection(const std::string& section) const;
  // Folder that holds the file, for paths relative to it.
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::map<std::string, std::map<std::string, std::string>> sections_;  // lower-case names
};

}  // namespace quorvan::host
