// Scheduled work started from outside: one job, what it changed, how long it took.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

#include "host/config/quorvan_config.h"
#include "platform/automation/automation_date.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/error_record.h"
#include "platform/data/connection.h"
#include "platform/data/database_session.h"
#include "platform/data/recordset.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/installation.h"

namespace quorvan::tool {
namespace {

// Counts taken just before and after a job; their differences are the job's work.
using Counts = std::map<std::string, int64_t>;

struct Job {
  const char* name;
  const char* class_id;
  const char* method;
  bool exclusive;     // two runs at once would do the work twice
  Counts (*count)();  // taken before and after
  void (*summarize)(const Counts& before, const Counts& after, std::ostream& out);
};

// Runs COUNT statements on the application database.
Counts CountRows(const std::vector<std::pair<const char*, std::string>>& statements) {
  auto connection = data::Connection::Create();
  connection->Open(Variant(ConnectionsOf(host::QuorvanConfig::PathFromEnvironment()).application),
                   Variant(), Variant(), Variant());
  Counts counts;
  for (const auto& [name, statement] : statements) {
    counts[name] = connection->ExecuteStatement(statement, nullptr)->Value(size_t{0}).ToLong();
  }
  connection->Close();
  return counts;
}

Counts ExpireCounts() {
  return CountRows({{"unexpired", "SELECT COUNT(*) FROM ALERT WHERE EXPIRED = 0"}});
}
void ExpireSummary(const Counts& before, const Counts& after, std::ostream& out) {
  out << "\"expired\": " << before.at("unexpired") - after.at("unexpired");
}

Counts DeleteCounts() { return CountRows({{"rows", "SELECT COUNT(*) FROM ALERT"}}); }
void DeleteSummary(const Counts& before, const Counts& after, std::ostream& out) {
  out << "\"deleted\": " << before.at("rows") - after.at("rows");
}

// The alerts a mail run takes, as it selects them now.
Counts MailCounts() {
  const std::string now = "'" + data::DateParameterText(NowDateSerial()) + "'";
  const std::string due =
      "SELECT COUNT(*) FROM ALERT WHERE EXPIRED=0 AND (NOTIFICATIONTYPE = 2 OR NOTIFICATIONTYPE = "
      "3)"
      " AND MAILSENT = 0 AND ACTIVATIONDATE <=" +
      now + " AND (EXPIRATIONDATE >=" + now + " OR EXPIRATIONDATE IS NULL)";
  return CountRows({{"due", due},
                    {"without_sender", due + " AND (SENDERID IS NULL OR SENDERID = '')"},
                    {"without_receiver", due + " AND RECEIVERID IS NULL"}});
}
void MailSummary(const Counts& before, const Counts& after, std::ostream& out) {
  out << "\"mailed\": " << before.at("due") - after.at("due")
      << ", \"skipped\": " << after.at("due")
      << ", \"withoutReceiver\": " << before.at("without_receiver")
      << ", \"fromOriginatingAddress\": "
      << before.at("without_sender") - after.at("without_sender");
}

// The form cache folder of the installation, as the cache component names it.
Counts CacheFileCounts() {
  const auto config = host::QuorvanConfig::Load(host::QuorvanConfig::PathFromEnvironment());
  const std::filesystem::path folder =
      std::filesystem::path(config->GetOr("quorvan", "InstallDirectory", config->Folder())) /
      "Tesmik/FileStorage/Application/Cache";
  int64_t files = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    files += entry.is_regular_file() ? 1 : 0;
  return {{"files", files}};
}
void CacheSummary(const Counts& before, const Counts& after, std::ostream& out) {
  out << "\"removed\": " << before.at("files") - after.at("files")
      << ", \"kept\": " << after.at("files");
}

const Job kJobs[] = {
    {"expire-alerts", "QuorvanGeneral.Alert", "ExpireAlerts", false, ExpireCounts, ExpireSummary},
    {"delete-expired-alerts", "QuorvanGeneral.Alert", "BatchDeleteExpiredAlerts", false,
     DeleteCounts, DeleteSummary},
    {"send-mail-alerts", "QuorvanGeneral.Alert", "SendMailAlerts", true, MailCounts, MailSummary},
    {"collect-cache-garbage", "QuorvanUtility.FormCache", "DeleteCacheGarbage", false,
     CacheFileCounts, CacheSummary},
};

// Holds an exclusive lock on a file beside the configuration while it lives; error 70 when
// another process holds it.
class RunLock {
 public:
  explicit RunLock(const std::string& job) {
    path_ = (std::filesystem::absolute(host::QuorvanConfig::PathFromEnvironment()).parent_path() /
             ("." + job + ".lock"))
                .string();
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0640);
    if (fd_ < 0)
      RaiseRuntimeError(runtime_error::kPermissionDenied, "cannot open the run lock " + path_);
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd_);
      RaiseRuntimeError(runtime_error::kPermissionDenied, "another " + job +
                                                              " run is in progress (it holds " +
                                                              path_ + "); try again when it ends");
    }
  }
  ~RunLock() { ::close(fd_); }  // closing releases the lock
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace

int RunCommand(Arguments& args) {
  const std::string name = args.Take("JOB");
  args.ExpectEnd();
  const Job* job = nullptr;
  for (const Job& candidate : kJobs) {
    if (name == candidate.name) job = &candidate;
  }
  if (job == nullptr) throw UsageError("run: unknown job '" + name + "' (see quorvan run --help)");
  std::unique_ptr<RunLock> lock;
  if (job->exclusive) lock = std::make_unique<RunLock>(job->name);
  const auto start = std::chrono::steady_clock::now();
  const Counts before = job->count();
  CreateObject(job->class_id)->Invoke(job->method);
  const Counts after = job->count();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.3f", seconds);
  std::cout << "{\"job\": \"" << job->name << "\", ";
  job->summarize(before, after, std::cout);
  std::cout << ", \"seconds\": " << elapsed << "}\n";
  return kExitOk;
}

}  // namespace quorvan::tool
