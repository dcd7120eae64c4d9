// QuorvanConfig: the one human-readable configuration file (INI) of an installation, as
// written by `quorvan init`. Its path comes from QUORVAN_CONFIG (the tool sets it from
// --config). Sections:
//
//   [quorvan]        InstallDirectory, ComponentPath
//   [applications]   Installed = comma-separated application identifiers
//   [connections]    <application id> = connection string
//   [sites]          <application id>.<n> = ConfigDir of site n
//   [log]            File
//   [APP/SECTION]    settings of SECTION read while application APP is selected
//   [SECTION]        settings of SECTION in the global scope (and the fallback for any app)
//
// Lines starting with ";" are comments; a value is the rest of its line after the first "=",
// so connection strings keep their own "=". Keys and section names compare ignoring case. A loaded
// configuration is immutable and may be read from several threads.
#pragma once

#include <Poco/AutoPtr.h>
#include <Poco/Util/IniFileConfiguration.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvan::host {

class QuorvanConfig {
 public:
  // Loads the file; error 53 when it is missing, 5 when QUORVAN_CONFIG is not set, 75 when it
  // cannot be read or parsed.
  static std::shared_ptr<const QuorvanConfig> FromEnvironment();
  // The path QUORVAN_CONFIG names; error 5 when it is not set.
  static std::string PathFromEnvironment();
  static std::shared_ptr<const QuorvanConfig> Load(const std::string& path);
  // Load, but parsed once per version of the file (its time and size); thread-safe.
  static std::shared_ptr<const QuorvanConfig> Cached(const std::string& path);

  const std::string& path() const { return path_; }
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::string GetOr(const std::string& section, const std::string& key,
                    const std::string& fallback) const;
  std::vector<std::string> InstalledApplications() const;
  // Folder of the configuration file, for relative paths inside it.
  std::string Folder() const;

 private:
  explicit QuorvanConfig(std::string path) : path_(std::move(path)) {}

  std::string path_;
  Poco::AutoPtr<Poco::Util::IniFileConfiguration> ini_;
};

// The environment variable naming the configuration file.
inline constexpr const char* kConfigEnvironmentVariable = "QUORVAN_CONFIG";

}  // namespace quorvan::host
