// Dictionary: the scripting runtime's key/item map, class id "Scripting.Dictionary".
// Keys are unique and kept in insertion order. Text keys compare exactly (binary compare);
// numeric keys (Integer, Long, Single, Double, Currency, Byte, Date, Boolean) compare by value,
// so 1 and 1.0 are the same key while 1 and "1" differ. Objects and arrays are not keys
// (error 5).
//
// As in the scripting runtime, reading Item of a missing key adds the key with an Empty item.
// Add of an existing key is error 457; Remove of a missing key is error 32811.
// Not thread-safe: a dictionary belongs to the thread that uses it.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/automation/object.h"

namespace quorvan {

class Dictionary : public Object {
 public:
  static std::shared_ptr<Dictionary> Create();
  // The Dictionary an object reference holds; error 13 when it holds anything else. The
  // reference stays valid while the caller holds the object.
  static Dictionary& Require(const ObjectPtr& object);
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  // Automation members.
  void Add(const Variant& key, const Variant& item);
  bool Exists(const Variant& key) const;
  Variant Item(const Variant& key);  // adds the key with Empty when missing
  void SetItem(const Variant& key, const Variant& item);
  Variant Keys() const;   // 0-based array
  Variant Items() const;  // 0-based array
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  void Remove(const Variant& key);
  void RemoveAll();

  // C++ access in key order.
  struct Entry {
    Variant key;
    Variant item;
  };
  const std::vector<Entry>& entries() const { return entries_; }
  // nullptr when missing; valid until the dictionary changes.
  const Variant* Find(const Variant& key) const;

 private:
  Dictionary() = default;
  static std::string KeyOf(const Variant& key);
  void Reindex();

  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> index_;  // normalized key -> position in entries_
};

}  // namespace quorvan
