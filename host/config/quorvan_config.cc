#include "host/config/quorvan_config.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>

#include <Poco/Exception.h>

#include "platform/automation/error_record.h"

namespace quorvan::host {
namespace {

constexpr int32_t kPathFileAccessError = 75;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string QuorvanConfig::PathFromEnvironment() {
  const char* path = std::getenv(kConfigEnvironmentVariable);
  if (path == nullptr || *path == '\0') {
    RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                      "no configuration: set QUORVAN_CONFIG or pass --config");
  }
  return path;
}

std::shared_ptr<const QuorvanConfig> QuorvanConfig::FromEnvironment() {
  return Cached(PathFromEnvironment());
}

// Components read the configuration on almost every call; parsing it once per change of the
// file keeps that cheap. A file that changed (time or size) is read again.
std::shared_ptr<const QuorvanConfig> QuorvanConfig::Cached(const std::string& path) {
  struct Entry {
    std::filesystem::file_time_type written;
    uintmax_t size = 0;
    std::shared_ptr<const QuorvanConfig> config;
  };
  static std::mutex mutex;
  static std::map<std::string, Entry> cache;
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  const uintmax_t size = error ? 0 : std::filesystem::file_size(path, error);
  if (error) return Load(path);  // reports the missing file
  {
    std::lock_guard lock(mutex);
    const auto found = cache.find(path);
    if (found != cache.end() && found->second.written == written && found->second.size == size) {
      return found->second.config;
    }
  }
  auto config = Load(path);
  std::lock_guard lock(mutex);
  cache[path] = Entry{written, size, config};
  return config;
}

std::shared_ptr<const QuorvanConfig> QuorvanConfig::Load(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    RaiseRuntimeError(runtime_error::kFileNotFound, "configuration file " + path);
  }
  auto config = std::shared_ptr<QuorvanConfig>(new QuorvanConfig(path));
  try {
    config->ini_ = new Poco::Util::IniFileConfiguration(path);
  } catch (const Poco::Exception& failure) {
    RaiseRuntimeError(kPathFileAccessError,
                      "configuration file " + path + ": " + failure.displayText());
  }
  return config;
}

std::optional<std::string> QuorvanConfig::Get(const std::string& section,
                                              const std::string& key) const {
  const std::string name = section + "." + key;
  if (!ini_->hasProperty(name)) return std::nullopt;
  return ini_->getRawString(name);
}

std::string QuorvanConfig::GetOr(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
  return Get(section, key).value_or(fallback);
}

std::vector<std::string> QuorvanConfig::InstalledApplications() const {
  std::vector<std::string> applications;
  std::stringstream list(GetOr("applications", "Installed", ""));
  std::string item;
  while (std::getline(list, item, ',')) {
    item = Trim(item);
    if (!item.empty()) applications.push_back(item);
  }
  return applications;
}

std::string QuorvanConfig::Folder() const {
  return std::filesystem::absolute(path_).parent_path().string();
}

}  // namespace quorvan::host
