#include "platform/automation/object.h"

#include <array>
#include <new>
#include <optional>

#include "platform/automation/current_error.h"
#include "platform/automation/error_record.h"

namespace quorvan {
namespace {

constexpr size_t kMaxParams = 16;
constexpr int32_t kNamedArgumentNotFound = 448;
constexpr int32_t kArgumentNotOptional = 449;

// The empty value of a declared parameter type, for an omitted optional typed argument.
Variant EmptyValueOf(VarType type) {
  switch (type) {
    case VarType::kVariant:
      return Variant::Missing();
    case VarType::kObject:
      return Variant::Nothing();
    case VarType::kString:
      return Variant(std::string());
    default:
      return Variant().ConvertTo(type);
  }
}

// Where each declared parameter's argument comes from: a caller's Variant or nothing.
std::array<Variant*, kMaxParams> Collect(const MemberInfo& member, std::span<Variant> args,
                                         std::span<NamedArgument> named) {
  const size_t count = member.params.size();
  if (count > kMaxParams || args.size() > count) {
    RaiseRuntimeError(runtime_error::kWrongNumberOfArguments, member.name, kRuntimeSource);
  }
  std::array<Variant*, kMaxParams> sources{};
  for (size_t i = 0; i < args.size(); ++i) sources[i] = &args[i];
  for (NamedArgument& argument : named) {
    size_t slot = 0;
    while (slot < count && !EqualsIgnoringCase(member.params[slot].name, argument.name)) ++slot;
    if (slot == count) {
      RaiseRuntimeError(kNamedArgumentNotFound, argument.name, kRuntimeSource);
    }
    if (sources[slot] != nullptr) {
      RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                        "argument " + argument.name + " given twice", kRuntimeSource);
    }
    sources[slot] = &argument.value;
  }
  return sources;
}

// Arguments converted for the call. Only the slots used are constructed: a call of a
// one-parameter member must not pay for sixteen Variants.
class ConvertedArguments {
 public:
  ConvertedArguments() = default;
  ConvertedArguments(const ConvertedArguments&) = delete;
  ConvertedArguments& operator=(const ConvertedArguments&) = delete;
  ~ConvertedArguments() {
    for (size_t i = 0; i < kMaxParams; ++i) {
      if (used_ & (1u << i)) At(i).~Variant();
    }
  }
  Variant* Put(size_t i, Variant value) {
    Variant* slot = new (&storage_[i]) Variant(std::move(value));
    used_ |= 1u << i;
    return slot;
  }
  Variant& At(size_t i) { return *std::launder(reinterpret_cast<Variant*>(&storage_[i])); }

 private:
  struct alignas(Variant) Slot {
    unsigned char bytes[sizeof(Variant)];
  };
  std::array<Slot, kMaxParams> storage_;
  uint32_t used_ = 0;
};

// A typed parameter's argument, converted; a failure names the parameter.
Variant ConvertArgument(const Variant& argument, const ParamInfo& param) {
  try {
    return argument.ConvertTo(param.type);
  } catch (const AutomationError& failure) {
    RaiseRuntimeError(failure.record().number, "argument " + param.name, kRuntimeSource);
  }
}

}  // namespace

Variant Object::Invoke(std::string_view member_name, std::span<Variant> args,
                       std::span<NamedArgument> named, MemberKind kind) {
  CallScope scope;
  const MemberInfo* member = Class().Find(member_name, kind);
  if (member == nullptr) {
    RaiseRuntimeError(runtime_error::kMemberNotSupported,
                      Class().class_id() + "." + std::string(member_name), kRuntimeSource);
  }
  const std::array<Variant*, kMaxParams> sources = Collect(*member, args, named);
  const size_t count = member->params.size();
  ConvertedArguments converted;
  std::array<Variant*, kMaxParams> bound;
  for (size_t i = 0; i < count; ++i) {
    const ParamInfo& param = member->params[i];
    Variant* source = sources[i];
    // The missing marker stands for an omitted argument, except that a Variant parameter takes
    // it as it is (a caller may pass it on explicitly).
    const bool omitted =
        source == nullptr || (source->IsMissing() && param.type != VarType::kVariant);
    if (omitted) {
      if (!param.optional) {
        RaiseRuntimeError(kArgumentNotOptional, param.name, kRuntimeSource);
      }
      bound[i] = converted.Put(i, EmptyValueOf(param.type));
    } else if (param.type == VarType::kVariant || source->type() == param.type) {
      bound[i] = source;  // by-reference Variants write straight into the caller's variable
    } else {
      bound[i] = converted.Put(i, ConvertArgument(*source, param));
    }
  }
  Variant result = member->thunk(*this, bound.data());
  for (size_t i = 0; i < count; ++i) {
    if (member->params[i].by_ref && sources[i] != nullptr && bound[i] != sources[i]) {
      *sources[i] = std::move(converted.At(i));
    }
  }
  return result;
}

}  // namespace quorvan
