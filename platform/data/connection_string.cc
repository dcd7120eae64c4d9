#include "platform/data/connection_string.h"

#include "platform/automation/class_info.h"
#include "platform/data/ado_constants.h"
#include "platform/data/data_error.h"

namespace quorvan::data {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

ConnectionString ConnectionString::Parse(const std::string& text) {
  ConnectionString result;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t equals = text.find('=', pos);
    const size_t semicolon = text.find(';', pos);
    if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
      if (!Trim(text.substr(pos,
                            semicolon == std::string::npos ? std::string::npos : semicolon - pos))
               .empty()) {
        RaiseDataError(data_error::kArgumentsWrongType, "QuorvanData.Connection",
                       "connection string: expected Key=Value");
      }
      if (semicolon == std::string::npos) break;
      pos = semicolon + 1;
      continue;
    }
    const std::string key = Trim(text.substr(pos, equals - pos));
    size_t value_start = text.find_first_not_of(" \t", equals + 1);
    std::string value;
    if (value_start != std::string::npos &&
        (text[value_start] == '"' || text[value_start] == '\'')) {
      const char quote = text[value_start];
      const size_t close = text.find(quote, value_start + 1);
      if (close == std::string::npos) {
        RaiseDataError(data_error::kArgumentsWrongType, "QuorvanData.Connection",
                       "connection string: unclosed quote");
      }
      value = text.substr(value_start + 1, close - value_start - 1);
      const size_t next = text.find(';', close);
      pos = next == std::string::npos ? text.size() : next + 1;
    } else {
      const size_t end = text.find(';', equals);
      value = Trim(
          text.substr(equals + 1, end == std::string::npos ? std::string::npos : end - equals - 1));
      pos = end == std::string::npos ? text.size() : end + 1;
    }
    result.pairs_.emplace_back(key, value);
  }
  return result;
}

std::optional<std::string> ConnectionString::Get(const std::string& key) const {
  for (const auto& [name, value] : pairs_) {
    if (EqualsIgnoringCase(name, key)) return value;
  }
  return std::nullopt;
}

std::string ConnectionString::GetOr(const std::string& key, const std::string& fallback) const {
  return Get(key).value_or(fallback);
}

}  // namespace quorvan::data
