// TestDatabase: an empty database of its own for one test, on SQLite (a file in a fresh
// temporary folder) or PostgreSQL (a fresh schema in the server that scripts/test starts and
// names in QUORVAN_TEST_POSTGRES). Without that server the PostgreSQL fixture fails the test:
// a run that silently skipped PostgreSQL would prove nothing.
#pragma once

#include <memory>
#include <string>

#include "platform/data/sql_dialect.h"

namespace quorvan::testing {

class TestDatabase {
 public:
  explicit TestDatabase(data::Provider provider);
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  // Empty when the provider is not available (the constructor has already failed the test).
  const std::string& connection_string() const { return connection_string_; }
  bool available() const { return !connection_string_.empty(); }
  data::Provider provider() const { return provider_; }
  // Runs statements directly, outside the layer under test.
  void Run(const std::string& sql) const;
  void ApplySchema() const;

 private:
  data::Provider provider_;
  std::string folder_;
  std::string schema_;
  std::string connection_string_;
};

const char* ProviderName(data::Provider provider);

class TestInstallation;

// A fresh database of `provider` with the schema applied, made both databases of
// `installation`; null when the provider is not available (the test has failed then).
std::unique_ptr<TestDatabase> InstallTestDatabase(TestInstallation& installation,
                                                  data::Provider provider);

}  // namespace quorvan::testing
