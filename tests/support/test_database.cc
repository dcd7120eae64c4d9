#include "tests/support/test_database.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "db/schema_loader.h"
#include "platform/data/connection_string.h"
#include "platform/data/database_session.h"
#include "platform/data/session_pool.h"
#include "tests/support/test_installation.h"

namespace quorvan::testing {
namespace {

std::string UniqueSuffix() {
  static std::atomic<int> counter{0};
  std::random_device random;
  return std::to_string(getpid()) + "_" + std::to_string(random() % 100000) + "_" +
         std::to_string(++counter);
}

}  // namespace

const char* ProviderName(data::Provider provider) {
  return provider == data::Provider::kSQLite ? "SQLite" : "PostgreSQL";
}

TestDatabase::TestDatabase(data::Provider provider) : provider_(provider) {
  if (provider == data::Provider::kSQLite) {
    char pattern[] = "/tmp/quorvan-db-XXXXXX";
    folder_ = mkdtemp(pattern);
    connection_string_ = "Provider=SQLite;Data Source=" + folder_ + "/test.db";
    data::SessionSettings settings;
    settings.create_if_missing = true;
    data::OpenSession(data::ConnectionString::Parse(connection_string_), settings);
    return;
  }
  const char* server = std::getenv("QUORVAN_TEST_POSTGRES");
  if (server == nullptr || *server == '\0') {
    ADD_FAILURE() << "QUORVAN_TEST_POSTGRES is not set: run the tests through scripts/test or "
                     "scripts/with-test-services, which start a PostgreSQL server";
    return;
  }
  schema_ = "t_" + UniqueSuffix();
  connection_string_ = std::string(server) + ";Schema=" + schema_;
}

TestDatabase::~TestDatabase() {
  data::SessionPool::Instance().Clear();
  if (!folder_.empty()) {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  if (!schema_.empty()) {
    try {
      Run("DROP SCHEMA IF EXISTS " + schema_ + " CASCADE");
    } catch (...) {
    }
  }
}

void TestDatabase::Run(const std::string& sql) const {
  auto session =
      data::OpenSession(data::ConnectionString::Parse(connection_string_), data::SessionSettings{});
  session->Execute(sql, {});
}

void TestDatabase::ApplySchema() const { db::ApplySchema(connection_string_); }

std::unique_ptr<TestDatabase> InstallTestDatabase(TestInstallation& installation,
                                                  data::Provider provider) {
  auto database = std::make_unique<TestDatabase>(provider);
  if (!database->available()) return nullptr;
  database->ApplySchema();
  installation.UseDatabase(database->connection_string());
  return database;
}

}  // namespace quorvan::testing
