#include "platform/automation/class_info.h"

#include <utility>

namespace quorvan {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

ClassInfo::ClassInfo(std::string class_id, std::vector<MemberInfo> members)
    : class_id_(std::move(class_id)), members_(std::move(members)) {
  const size_t dot = class_id_.find('.');
  class_name_ = dot == std::string::npos ? class_id_ : class_id_.substr(dot + 1);
  for (size_t i = 0; i < members_.size(); ++i) {
    by_lower_name_[LowerAscii(members_[i].name)].push_back(i);
  }
}

const MemberInfo* ClassInfo::Find(std::string_view name, MemberKind kind) const {
  char buffer[64];
  std::string heap;
  std::string_view key;
  if (name.size() < sizeof buffer) {
    for (size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      buffer[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    key = std::string_view(buffer, name.size());
  } else {
    heap = LowerAscii(name);
    key = heap;
  }
  const auto found = by_lower_name_.find(key);
  if (found == by_lower_name_.end()) return nullptr;
  const MemberInfo* fallback = nullptr;
  for (size_t index : found->second) {
    const MemberInfo& member = members_[index];
    if (member.kind == kind) return &member;
    if (kind == MemberKind::kMethod && member.kind == MemberKind::kPropertyGet) fallback = &member;
  }
  return fallback;
}

}  // namespace quorvan
