#include "tests/support/test_installation.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "host/config/quorvan_config.h"
#include "tools/quorvan/installation.h"

namespace quorvan::testing {

TestInstallation::TestInstallation() {
  char pattern[] = "/tmp/quorvan-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  config_path_ = tool::CreateInstallation(dir_);
  setenv(host::kConfigEnvironmentVariable, config_path_.c_str(), 1);
}

TestInstallation::~TestInstallation() {
  unsetenv(host::kConfigEnvironmentVariable);
  std::error_code error;
  std::filesystem::remove_all(dir_, error);
}

void TestInstallation::AddUser(const host::DirectoryUser& user) {
  auto directory = host::UserDirectory::Load(site_folder() + "/users.json");
  directory.Upsert(user);
  directory.Save();
}

void TestInstallation::UseDatabase(const std::string& connection_string) {
  AppendConfig("[connections]\nHadrell = " + connection_string +
               "\nJassoway = " + connection_string + "\n");
}

void TestInstallation::AppendConfig(const std::string& text) {
  std::ofstream out(config_path_, std::ios::app);
  out << "\n" << text << "\n";
}

std::string TestInstallation::ReadLog() const { return ReadWholeFile(log_path()); }

void RunOnFreshThread(const std::function<void()>& work) {
  std::exception_ptr failure;
  std::thread thread([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  });
  thread.join();
  if (failure) std::rethrow_exception(failure);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace quorvan::testing
