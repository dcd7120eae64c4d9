// TestInstallation: a throw-away installation in a fresh temporary folder, made by the same
// code as `quorvan init`, with QUORVAN_CONFIG pointing at it while the object lives. One per
// test; tests never share it.
#pragma once

#include <functional>
#include <string>

#include "host/vexa_membership/user_directory.h"

namespace quorvan::testing {

class TestInstallation {
 public:
  TestInstallation();
  ~TestInstallation();
  TestInstallation(const TestInstallation&) = delete;
  TestInstallation& operator=(const TestInstallation&) = delete;

  const std::string& dir() const { return dir_; }
  const std::string& config_path() const { return config_path_; }
  std::string site_folder() const { return dir_ + "/site"; }
  std::string log_path() const { return dir_ + "/log/quorvan.log"; }

  void AddUser(const host::DirectoryUser& user);
  // Points the application and common databases at `connection_string`.
  void UseDatabase(const std::string& connection_string);
  // Appends lines to quorvan.ini (later keys of a section win over none: use new sections).
  void AppendConfig(const std::string& text);
  std::string ReadLog() const;

 private:
  std::string dir_;
  std::string config_path_;
};

std::string ReadWholeFile(const std::string& path);

// Runs `work` on a new thread and waits for it, passing its exception on: per-thread state
// (cached connection settings) starts fresh, as on a new worker thread.
void RunOnFreshThread(const std::function<void()>& work);

}  // namespace quorvan::testing
