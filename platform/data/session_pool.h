// SessionPool: open database sessions kept per connection string, so that the components'
// open-per-call habit stays cheap. Acquire hands out an idle session (rolled back and checked
// alive first) or opens a new one; a PooledSession returns its session when it goes away.
//
//   idle --Acquire--> in use --~PooledSession--> idle (ResetForReuse ok, fewer than kMaxIdle)
//                                            \-> closed (broken, or enough idle ones)
//
// Thread-safe: the idle lists are guarded by one mutex; a session in use belongs to its holder.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/data/database_session.h"

namespace quorvan::data {

class SessionPool;

class PooledSession {
 public:
  PooledSession() = default;
  PooledSession(std::string key, std::unique_ptr<DatabaseSession> session)
      : key_(std::move(key)), session_(std::move(session)) {}
  PooledSession(PooledSession&&) noexcept = default;
  PooledSession& operator=(PooledSession&& other) noexcept;
  ~PooledSession();

  DatabaseSession* get() const { return session_.get(); }
  DatabaseSession* operator->() const { return session_.get(); }
  explicit operator bool() const { return session_ != nullptr; }
  void Release();  // back to the pool now

 private:
  std::string key_;
  std::unique_ptr<DatabaseSession> session_;
};

class SessionPool {
 public:
  static constexpr size_t kMaxIdle = 8;  // per connection string

  static SessionPool& Instance();
  PooledSession Acquire(const std::string& connection_string, const SessionSettings& settings);
  void Return(const std::string& key, std::unique_ptr<DatabaseSession> session);
  // Closes every idle session (tests, shutdown).
  void Clear();
  size_t IdleCount(const std::string& connection_string);

 private:
  std::mutex mutex_;
  std::map<std::string, std::vector<std::unique_ptr<DatabaseSession>>> idle_;
};

}  // namespace quorvan::data
