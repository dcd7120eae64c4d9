// ClassBuilder: declares a class's members in slot order by pointing at its C++ member
// functions. The C++ parameter types give the automation types, so a declaration cannot drift
// from the code it calls:
//
//   int32_t, int16_t, double, float, uint8_t, bool, std::string, ObjectPtr, Currency: typed
//     by-value parameters; the argument is converted before the call (error 13/6/94 on failure);
//     an omitted optional one arrives as the type's empty value.
//   Variant / const Variant&: a by-value Variant; an omitted optional one is the missing marker.
//   Variant&: a by-reference parameter; what the member writes reaches the caller's variable.
//
//   static const ClassInfo info = ClassBuilder<ErrorHandler>("QuorvanUtility.ErrorHandler")
//       .Method<&ErrorHandler::GetErrorLabelCode>("GetErrorLabelCode", {In("i_lErrorNumber")})
//       .Build();
//
// Build() checks the declaration against the signature and throws std::logic_error on a
// mismatch, so a wrong table fails the first test that loads the class.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/automation/class_info.h"
#include "platform/automation/object.h"

namespace quorvan {

struct ParamDeclaration {
  std::string name;
  bool by_ref = false;
  bool optional = false;
  std::string type_name;  // published type when it says more than the C++ type
};

inline ParamDeclaration In(std::string name, std::string type_name = {}) {
  return {std::move(name), false, false, std::move(type_name)};
}
inline ParamDeclaration Optional(std::string name, std::string type_name = {}) {
  return {std::move(name), false, true, std::move(type_name)};
}
inline ParamDeclaration ByRef(std::string name, std::string type_name = {}) {
  return {std::move(name), true, false, std::move(type_name)};
}
inline ParamDeclaration OptionalByRef(std::string name, std::string type_name = {}) {
  return {std::move(name), true, true, std::move(type_name)};
}

namespace binding {

template <class T>
struct ArgType;
template <>
struct ArgType<int16_t> {
  static constexpr VarType kType = VarType::kInteger;
  static int16_t Get(Variant& v) { return v.integer_value(); }
};
template <>
struct ArgType<int32_t> {
  static constexpr VarType kType = VarType::kLong;
  static int32_t Get(Variant& v) { return v.long_value(); }
};
template <>
struct ArgType<double> {
  static constexpr VarType kType = VarType::kDouble;
  static double Get(Variant& v) { return v.double_value(); }
};
template <>
struct ArgType<float> {
  static constexpr VarType kType = VarType::kSingle;
  static float Get(Variant& v) { return v.single_value(); }
};
template <>
struct ArgType<uint8_t> {
  static constexpr VarType kType = VarType::kByte;
  static uint8_t Get(Variant& v) { return v.byte_value(); }
};
template <>
struct ArgType<bool> {
  static constexpr VarType kType = VarType::kBoolean;
  static bool Get(Variant& v) { return v.bool_value(); }
};
template <>
struct ArgType<Currency> {
  static constexpr VarType kType = VarType::kCurrency;
  static Currency Get(Variant& v) { return v.currency_value(); }
};
template <>
struct ArgType<std::string> {
  static constexpr VarType kType = VarType::kString;
  static const std::string& Get(Variant& v) { return v.string_ref(); }
};
template <>
struct ArgType<ObjectPtr> {
  static constexpr VarType kType = VarType::kObject;
  static const ObjectPtr& Get(Variant& v) { return v.object_ref(); }
};
template <>
struct ArgType<Variant> {
  static constexpr VarType kType = VarType::kVariant;
  static Variant& Get(Variant& v) { return v; }
};

template <class A>
using Bare = std::remove_cvref_t<A>;

template <class A>
constexpr bool kIsByRef =
    std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

inline const char* PublishedName(VarType type) {
  switch (type) {
    case VarType::kInteger:
      return "Integer";
    case VarType::kLong:
      return "Long";
    case VarType::kDouble:
      return "Double";
    case VarType::kSingle:
      return "Single";
    case VarType::kByte:
      return "Byte";
    case VarType::kBoolean:
      return "Boolean";
    case VarType::kCurrency:
      return "Currency";
    case VarType::kString:
      return "String";
    case VarType::kObject:
      return "Object";
    default:
      return "Variant";
  }
}

template <class R>
std::string ResultName() {
  if constexpr (std::is_void_v<R>) {
    return {};
  } else if constexpr (std::is_convertible_v<R, ObjectPtr> && !std::is_same_v<R, ObjectPtr>) {
    return "Object";
  } else {
    return PublishedName(ArgType<Bare<R>>::kType);
  }
}

template <class F>
struct Signature;
template <class C, class R, class... A>
struct Signature<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
  static constexpr size_t kArity = sizeof...(A);
  static std::vector<ParamInfo> Params(const std::vector<ParamDeclaration>& declarations) {
    std::vector<ParamInfo> params;
    size_t index = 0;
    (params.push_back(Describe<A>(declarations, index++)), ...);
    return params;
  }
  template <class Arg>
  static ParamInfo Describe(const std::vector<ParamDeclaration>& declarations, size_t index) {
    const ParamDeclaration& declaration = declarations.at(index);
    if (declaration.by_ref != kIsByRef<Arg>) {
      throw std::logic_error("parameter " + declaration.name +
                             ": by-reference flag disagrees with C++");
    }
    const VarType type = ArgType<Bare<Arg>>::kType;
    return ParamInfo{declaration.name, type,
                     declaration.type_name.empty() ? PublishedName(type) : declaration.type_name,
                     declaration.by_ref, declaration.optional};
  }
};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const> : Signature<R (C::*)(A...)> {};

template <auto M, class C, class R, class... A, size_t... I>
Variant CallMember(R (C::*)(A...), Object& self, Variant* const* args, std::index_sequence<I...>) {
  C& object = static_cast<C&>(self);
  if constexpr (std::is_void_v<R>) {
    (object.*M)(ArgType<Bare<A>>::Get(*args[I])...);
    return Variant();
  } else {
    return Variant((object.*M)(ArgType<Bare<A>>::Get(*args[I])...));
  }
}

template <auto M, class C, class R, class... A, size_t... I>
Variant CallMember(R (C::*)(A...) const, Object& self, Variant* const* args,
                   std::index_sequence<I...>) {
  const C& object = static_cast<const C&>(self);
  if constexpr (std::is_void_v<R>) {
    (object.*M)(ArgType<Bare<A>>::Get(*args[I])...);
    return Variant();
  } else {
    return Variant((object.*M)(ArgType<Bare<A>>::Get(*args[I])...));
  }
}

template <auto M>
Variant Thunk(Object& self, Variant* const* args) {
  using Sig = Signature<decltype(M)>;
  return CallMember<M>(M, self, args, std::make_index_sequence<Sig::kArity>{});
}

}  // namespace binding

template <class C>
class ClassBuilder {
 public:
  explicit ClassBuilder(std::string class_id) : class_id_(std::move(class_id)) {}

  template <auto M>
  ClassBuilder& Method(std::string name, std::initializer_list<ParamDeclaration> params = {},
                       std::string result_type = {}) {
    return Add<M>(std::move(name), MemberKind::kMethod, params, std::move(result_type));
  }
  template <auto M>
  ClassBuilder& Get(std::string name, std::initializer_list<ParamDeclaration> params = {},
                    std::string result_type = {}) {
    return Add<M>(std::move(name), MemberKind::kPropertyGet, params, std::move(result_type));
  }
  template <auto M>
  ClassBuilder& Put(std::string name, std::initializer_list<ParamDeclaration> params) {
    return Add<M>(std::move(name), MemberKind::kPropertyPut, params, {});
  }

  ClassBuilder& Identifiers(std::string clsid, std::string iid, std::string interface_name) {
    clsid_ = std::move(clsid);
    iid_ = std::move(iid);
    interface_name_ = std::move(interface_name);
    return *this;
  }
  ClassBuilder& Enums(std::vector<EnumInfo> enums) {
    enums_ = std::move(enums);
    return *this;
  }

  ClassInfo Build() {
    ClassInfo info(class_id_, std::move(members_));
    info.clsid = clsid_;
    info.iid = iid_;
    info.interface_name = interface_name_;
    info.enums = std::move(enums_);
    return info;
  }

 private:
  template <auto M>
  ClassBuilder& Add(std::string name, MemberKind kind,
                    std::initializer_list<ParamDeclaration> params, std::string result_type) {
    using Sig = binding::Signature<decltype(M)>;
    static_assert(std::is_base_of_v<typename Sig::Class, C> ||
                  std::is_same_v<typename Sig::Class, C>);
    std::vector<ParamDeclaration> declarations(params);
    if (declarations.size() != Sig::kArity) {
      throw std::logic_error(class_id_ + "." + name + ": parameter list disagrees with C++");
    }
    if (result_type.empty()) result_type = binding::ResultName<typename Sig::Result>();
    members_.push_back(MemberInfo{std::move(name), kind, Sig::Params(declarations),
                                  std::move(result_type), &binding::Thunk<M>});
    return *this;
  }

  std::string class_id_;
  std::vector<MemberInfo> members_;
  std::string clsid_;
  std::string iid_;
  std::string interface_name_;
  std::vector<EnumInfo> enums_;
};

}  // namespace quorvan
