#include "platform/data/session_pool.h"

namespace quorvan::data {

PooledSession& PooledSession::operator=(PooledSession&& other) noexcept {
  if (this != &other) {
    Release();
    key_ = std::move(other.key_);
    session_ = std::move(other.session_);
  }
  return *this;
}

PooledSession::~PooledSession() { Release(); }

void PooledSession::Release() {
  if (session_) SessionPool::Instance().Return(key_, std::move(session_));
}

SessionPool& SessionPool::Instance() {
  static SessionPool* pool = new SessionPool();  // outlives every PooledSession
  return *pool;
}

PooledSession SessionPool::Acquire(const std::string& connection_string,
                                   const SessionSettings& settings) {
  {
    std::lock_guard lock(mutex_);
    auto& idle = idle_[connection_string];
    while (!idle.empty()) {
      std::unique_ptr<DatabaseSession> session = std::move(idle.back());
      idle.pop_back();
      if (session->ResetForReuse()) {
        session->SetCommandTimeout(settings.command_timeout);
        return PooledSession(connection_string, std::move(session));
      }
    }
  }
  return PooledSession(connection_string,
                       OpenSession(ConnectionString::Parse(connection_string), settings));
}

void SessionPool::Return(const std::string& key, std::unique_ptr<DatabaseSession> session) {
  try {
    if (!session->ResetForReuse()) return;
  } catch (...) {
    return;  // a session that cannot even roll back is closed, not pooled
  }
  std::lock_guard lock(mutex_);
  auto& idle = idle_[key];
  if (idle.size() < kMaxIdle) idle.push_back(std::move(session));
}

void SessionPool::Clear() {
  std::map<std::string, std::vector<std::unique_ptr<DatabaseSession>>> closing;
  {
    std::lock_guard lock(mutex_);
    closing.swap(idle_);
  }
}

size_t SessionPool::IdleCount(const std::string& connection_string) {
  std::lock_guard lock(mutex_);
  const auto found = idle_.find(connection_string);
  return found == idle_.end() ? 0 : found->second.size();
}

}  // namespace quorvan::data
