#include "platform/automation/dictionary.h"

#include <cstdio>

#include "platform/automation/class_builder.h"
#include "platform/automation/error_record.h"
#include "platform/automation/safe_array.h"

namespace quorvan {
namespace {

constexpr int32_t kElementNotFound = 32811;

}  // namespace

std::shared_ptr<Dictionary> Dictionary::Create() {
  return std::shared_ptr<Dictionary>(new Dictionary());
}

Dictionary& Dictionary::Require(const ObjectPtr& object) {
  auto* dictionary = dynamic_cast<Dictionary*>(object.get());
  if (dictionary == nullptr)
    RaiseRuntimeError(runtime_error::kTypeMismatch, "a Dictionary is needed");
  return *dictionary;
}

const ClassInfo& Dictionary::Info() {
  static const ClassInfo info = ClassBuilder<Dictionary>("Scripting.Dictionary")
                                    .Method<&Dictionary::Add>("Add", {In("Key"), In("Item")})
                                    .Method<&Dictionary::Exists>("Exists", {In("Key")})
                                    .Get<&Dictionary::Item>("Item", {In("Key")})
                                    .Put<&Dictionary::SetItem>("Item", {In("Key"), In("Item")})
                                    .Method<&Dictionary::Keys>("Keys")
                                    .Method<&Dictionary::Items>("Items")
                                    .Get<&Dictionary::Count>("Count")
                                    .Method<&Dictionary::Remove>("Remove", {In("Key")})
                                    .Method<&Dictionary::RemoveAll>("RemoveAll")
                                    .Build();
  return info;
}

// Text keys keep their bytes behind an "s"; numeric keys become the shortest exact text of
// their double behind an "n", so 1, 1.0 and True-as--1 compare by value.
std::string Dictionary::KeyOf(const Variant& key) {
  switch (key.type()) {
    case VarType::kEmpty:
      return "e";
    case VarType::kNull:
      return "z";
    case VarType::kString:
      return "s" + key.string_ref();
    case VarType::kObject:
    case VarType::kArray:
    case VarType::kError:
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "not a valid key");
    default: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "n%.17g", key.ToDouble() + 0.0);
      return buffer;
    }
  }
}

void Dictionary::Add(const Variant& key, const Variant& item) {
  std::string normalized = KeyOf(key);
  if (index_.count(normalized)) RaiseRuntimeError(runtime_error::kKeyAlreadyExists);
  index_.emplace(std::move(normalized), entries_.size());
  entries_.push_back(Entry{key, item});
}

bool Dictionary::Exists(const Variant& key) const { return index_.count(KeyOf(key)) != 0; }

const Variant* Dictionary::Find(const Variant& key) const {
  const auto found = index_.find(KeyOf(key));
  return found == index_.end() ? nullptr : &entries_[found->second].item;
}

Variant Dictionary::Item(const Variant& key) {
  if (const Variant* item = Find(key)) return *item;
  Add(key, Variant());
  return Variant();
}

void Dictionary::SetItem(const Variant& key, const Variant& item) {
  const auto found = index_.find(KeyOf(key));
  if (found == index_.end()) {
    Add(key, item);
  } else {
    entries_[found->second].item = item;
  }
}

Variant Dictionary::Keys() const {
  std::vector<Variant> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(entry.key);
  return Variant::FromArray(SafeArray(std::move(keys)));
}

Variant Dictionary::Items() const {
  std::vector<Variant> items;
  items.reserve(entries_.size());
  for (const Entry& entry : entries_) items.push_back(entry.item);
  return Variant::FromArray(SafeArray(std::move(items)));
}

void Dictionary::Remove(const Variant& key) {
  const auto found = index_.find(KeyOf(key));
  if (found == index_.end()) RaiseRuntimeError(kElementNotFound);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(found->second));
  Reindex();
}

void Dictionary::RemoveAll() {
  entries_.clear();
  index_.clear();
}

void Dictionary::Reindex() {
  index_.clear();
  for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(KeyOf(entries_[i].key), i);
}

}  // namespace quorvan
