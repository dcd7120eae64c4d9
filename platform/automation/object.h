// Object: the base of every automation object. Reference-counted through ObjectPtr
// (std::shared_ptr); the last release runs the destructor, which is the class's terminate
// routine and never throws.
//
// Late binding: Invoke finds a member by name (ignoring case), binds positional and named
// arguments to its declared parameters, fills omitted optional ones (the missing marker for a
// Variant, the empty value for a typed one), converts typed by-value arguments, calls the
// member and writes by-reference results back into the caller's Variants.
//
// Binding errors: unknown member 438, too many arguments 450, unknown named argument 448,
// a required argument left out 449, conversions 13/6/94. An object serves one thread at a time.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/automation/class_info.h"
#include "platform/automation/variant.h"

namespace quorvan {

struct NamedArgument {
  std::string name;
  Variant value;  // by-reference parameters write back here
};

class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  virtual const ClassInfo& Class() const = 0;
  // The run-time type name (TypeName of a Variant holding this object).
  virtual std::string ClassName() const { return Class().class_name(); }

  // Calls a member by name. `args` are positional, in slot order; by-reference parameters
  // write back into them and into `named`. The outermost call on a thread clears the thread's
  // current error when it ends (see CallScope).
  Variant Invoke(std::string_view member, std::span<Variant> args = {},
                 std::span<NamedArgument> named = {}, MemberKind kind = MemberKind::kMethod);

  // Convenience: a call whose by-value arguments the caller does not need back.
  template <class... Args>
  Variant Call(std::string_view member, Args&&... args) {
    Variant values[] = {Variant(std::forward<Args>(args))..., Variant()};
    return Invoke(member, std::span<Variant>(values, sizeof...(Args)));
  }
  Variant GetProperty(std::string_view name) {
    return Invoke(name, {}, {}, MemberKind::kPropertyGet);
  }

 protected:
  Object() = default;
};

}  // namespace quorvan
