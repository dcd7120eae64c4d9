#include "platform/automation/object.h"

#include <gtest/gtest.h>

#include "tests/support/error_capture.h"

#include "platform/automation/class_builder.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "platform/automation/error_record.h"

namespace quorvan {
namespace {

using quorvan::testing::ErrorNumberOf;

// A class exercising every kind of parameter the binder knows.
class Probe : public Object {
 public:
  static const ClassInfo& Info() {
    static const ClassInfo info =
        ClassBuilder<Probe>("Test.Probe")
            .Method<&Probe::Join>("Join", {In("i_sText"), In("i_lCount"), Optional("i_vSuffix")})
            .Method<&Probe::Swap>("Swap", {ByRef("io_vLeft"), ByRef("io_vRight")})
            .Method<&Probe::Typed>("Typed", {Optional("i_nValue"), Optional("i_bFlag")})
            .Method<&Probe::Fail>("Fail")
            .Build();
    return info;
  }
  const ClassInfo& Class() const override { return Info(); }

  std::string Join(const std::string& text, int32_t count, const Variant& suffix) {
    std::string out;
    for (int32_t i = 0; i < count; ++i) out += text;
    return out + (suffix.IsMissing() ? "<missing>" : suffix.ToString());
  }
  void Swap(Variant& left, Variant& right) { std::swap(left, right); }
  std::string Typed(int16_t value, bool flag) { return std::to_string(value) + (flag ? "T" : "F"); }
  void Fail() {
    CurrentError() = ErrorRecord{42, "src", "set by the member", "", 0};
    RaiseError(42, "src", "failed");
  }
};

TEST(ObjectTest, BindsPositionalNamedOptionalAndConvertsTypedArguments) {
  Probe probe;
  std::vector<Variant> args{Variant("ab"), Variant("2")};
  EXPECT_EQ(probe.Invoke("join", args), Variant("abab<missing>"));

  std::vector<Variant> positional{Variant("x")};
  std::vector<NamedArgument> named{{"I_VSUFFIX", Variant(1.5)}, {"i_lCount", Variant(3)}};
  EXPECT_EQ(probe.Invoke("Join", positional, named), Variant("xxx1.5"));

  EXPECT_EQ(probe.Invoke("Typed"), Variant("0F"));
  std::vector<Variant> missing_first{Variant::Missing(), Variant(-1)};
  EXPECT_EQ(probe.Invoke("Typed", missing_first), Variant("0T"));
}

TEST(ObjectTest, ByReferenceArgumentsWriteBack) {
  Probe probe;
  std::vector<Variant> args{Variant(1), Variant("two")};
  probe.Invoke("Swap", args);
  EXPECT_EQ(args[0], Variant("two"));
  EXPECT_EQ(args[1], Variant(1));
  std::vector<NamedArgument> named{{"io_vRight", Variant("r")}, {"io_vLeft", Variant("l")}};
  probe.Invoke("Swap", {}, named);
  EXPECT_EQ(named[0].value, Variant("l"));
}

TEST(ObjectTest, BindingErrors) {
  Probe probe;
  std::vector<Variant> too_many(4, Variant(1));
  std::vector<NamedArgument> unknown{{"nope", Variant(1)}};
  std::vector<Variant> not_a_number{Variant("a"), Variant("many")};
  std::vector<Variant> overflow{Variant(70000)};
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("NoSuchMember"); }), 438);
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Join", too_many); }), 450);
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Typed", {}, unknown); }), 448);
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Join"); }), 449);
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Join", not_a_number); }), 13);
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Typed", overflow); }), 6);
}

TEST(ObjectTest, OutermostCallClearsTheCurrentError) {
  Probe probe;
  EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Fail"); }), 42);
  EXPECT_EQ(CurrentError().number, 0);
  {
    CallScope outer;
    EXPECT_EQ(ErrorNumberOf([&] { probe.Invoke("Fail"); }), 42);
    EXPECT_EQ(CurrentError().number, 42);  // still inside the outer entry
  }
  EXPECT_EQ(CurrentError().number, 0);
}

TEST(ObjectTest, ClassTableRejectsADeclarationThatDisagreesWithCxx) {
  EXPECT_THROW(ClassBuilder<Probe>("Test.Bad").Method<&Probe::Swap>("Swap", {In("a"), In("b")}),
               std::logic_error);
  EXPECT_THROW(ClassBuilder<Probe>("Test.Bad").Method<&Probe::Join>("Join", {In("a")}),
               std::logic_error);
}

TEST(ClassRegistryTest, UnknownClassesAndModulesRaise429) {
  EXPECT_EQ(ErrorNumberOf([] { CreateObject("NoSuchLibrary.Thing"); }), 429);
  EXPECT_EQ(ErrorNumberOf([] { CreateObject("nodot"); }), 429);
  EXPECT_EQ(ErrorNumberOf([] { CreateObject("../etc.passwd"); }), 429);
  EXPECT_EQ(ErrorNumberOf([] { CreateObject("{00000000-0000-0000-0000-000000000000}"); }), 429);
  ASSERT_EQ(ErrorNumberOf([] { CreateObject("Scripting.Dictionary"); }), 0);
}

TEST(ClassRegistryTest, RegisteredClassesResolveIgnoringCase) {
  RegisterClass<Probe>(ClassRegistry::Instance());
  ObjectPtr probe = CreateObject("test.PROBE");
  EXPECT_EQ(probe->ClassName(), "Probe");
  EXPECT_EQ(Variant(probe).TypeName(), "Probe");
}

}  // namespace
}  // namespace quorvan
