// Scheduled work started from outside: one job, what it changed, how long it took.
#include <chrono>
#include <cstdio>
#include <iostream>

#include "platform/automation/class_registry.h"
#include "platform/automation/error_record.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/installation.h"

namespace quorvan::tool {
namespace {

struct Job {
  const char* name;
  const char* class_id;
  const char* method;
  const char* counted;  // the rows counted before and after: their difference is the work done
  const char* result_key;
};

constexpr Job kJobs[] = {
    {"expire-alerts", "QuorvanGeneral.Alert", "ExpireAlerts", "SELECT COUNT(*) FROM ALERT WHERE EXPIRED = 0", "expired"},
    {"delete-expired-alerts", "QuorvanGeneral.Alert", "BatchDeleteExpiredAlerts", "SELECT COUNT(*) FROM ALERT",
     "deleted"},
};

int64_t CountRows(const char* statement) {
  const char* config = std::getenv("QUORVAN_CONFIG");
  auto connection = data::Connection::Create();
  connection->Open(Variant(ConnectionsOf(config ? config : "").application), Variant(), Variant(), Variant());
  const int64_t count = connection->ExecuteStatement(statement, nullptr)->Value(size_t{0}).ToLong();
  connection->Close();
  return count;
}

}  // namespace

int RunCommand(Arguments& args) {
  const std::string name = args.Take("JOB");
  args.ExpectEnd();
  const Job* job = nullptr;
  for (const Job& candidate : kJobs) {
    if (name == candidate.name) job = &candidate;
  }
  if (job == nullptr) throw UsageError("run: unknown job '" + name + "' (see quorvan run --help)");
  try {
    const auto start = std::chrono::steady_clock::now();
    const int64_t before = CountRows(job->counted);
    CreateObject(job->class_id)->Invoke(job->method);
    const int64_t after = CountRows(job->counted);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.3f", seconds);
    std::cout << "{\"job\": \"" << job->name << "\", \"" << job->result_key << "\": " << (before - after)
              << ", \"seconds\": " << elapsed << "}\n";
    return kExitOk;
  } catch (const AutomationError& e) {
    std::cout << ErrorDocument(e.record()) << "\n";
    return kExitError;
  }
}

}  // namespace quorvan::tool
