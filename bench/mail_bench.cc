// SendMailAlerts of 10,000 due alerts with empty subjects and bodies, so that every mail is
// composed from labels, into the pickup folder of an SQLite installation. bench/run prints
// mails per second (target: 1,000) and the share of the run spent in label lookups (eight per
// mail, measured on their own in the same run).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "tests/support/test_database.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

constexpr int kMails = 10000;
constexpr int kReceivers = 100;
constexpr int kLabelsPerMail = 8;

struct Fixture {
  Fixture() : database(data::Provider::kSQLite) {
    database.ApplySchema();
    installation.UseDatabase(database.connection_string());
    for (int i = 0; i < kReceivers; ++i) {
      installation.AddUser({"user" + std::to_string(i),
                            "Given",
                            "Family" + std::to_string(i),
                            "user" + std::to_string(i) + "@example.org",
                            "1033",
                            1033,
                            {2}});
    }
  }
  void AddDueAlerts() {
    database.Run(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kMails - 1) +
        ") INSERT INTO ALERT (RECEIVERID, SENDERID, ALERTTYPE, DOCUMENTHEADERID, NOTIFICATIONTYPE, "
        "STATUS, "
        "EXPIRED, MAILSENT, GENERATIONDATE, ACTIVATIONDATE, REVISION) SELECT 'user' || (i % " +
        std::to_string(kReceivers) +
        "), '', 9, 'Q-' || i, 2, 1, 0, 0, '2024-01-01 00:00:00', "
        "'2024-01-01 00:00:00', 1 FROM n");
  }
  testing::TestInstallation installation;
  testing::TestDatabase database;
};

Fixture& TheFixture() {
  static Fixture* fixture = new Fixture();
  return *fixture;
}

void BM_SendMailAlerts10000(benchmark::State& state) {
  Fixture& fixture = TheFixture();
  CallScope scope;
  ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
  for (auto _ : state) {
    state.PauseTiming();
    fixture.AddDueAlerts();
    state.ResumeTiming();
    alert->Invoke("SendMailAlerts");
  }
  state.counters["mails_per_second"] =
      benchmark::Counter(static_cast<double>(kMails) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  std::filesystem::remove_all(fixture.installation.dir() + "/mail/pickup");
  std::filesystem::create_directories(fixture.installation.dir() + "/mail/pickup");
}

// The label lookups of 10,000 mails, on their own.
void BM_LabelLookupsOf10000Mails(benchmark::State& state) {
  TheFixture();
  CallScope scope;
  ObjectPtr alert = CreateObject("QuorvanGeneral.Alert");
  const char* labels[kLabelsPerMail] = {"SLBCT0518", "SLBCT0143", "SLBCT0522", "SLBCT0523",
                                        "SLBCT0389", "SLBCT0524", "SLBCT0525", "SLBCT0526"};
  for (auto _ : state) {
    for (int mail = 0; mail < kMails; ++mail) {
      for (const char* label : labels) {
        Variant args[] = {Variant(label), Variant(1033)};
        benchmark::DoNotOptimize(alert->Invoke("GetI18NText", args));
      }
    }
  }
}

BENCHMARK(BM_SendMailAlerts10000)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelLookupsOf10000Mails)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvan

BENCHMARK_MAIN();
