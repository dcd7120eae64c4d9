// "QuorvanUtility.ErrorHandler" through late binding, as pages call it.
#include <gtest/gtest.h>

#include "platform/automation/class_registry.h"
#include "platform/automation/error_record.h"
#include "tests/support/test_installation.h"

namespace quorvan {
namespace {

int32_t Number(uint32_t bits) { return static_cast<int32_t>(bits); }

TEST(ErrorHandlerTest, LabelCodesAndOwnErrors) {
  ObjectPtr handler = CreateObject("QuorvanUtility.ErrorHandler");
  struct Case {
    int32_t number;
    const char* label;
    bool own;
  };
  const Case cases[] = {
      {Number(0x80040401), "SLBCE0001", true},   {Number(0x80040467), "SLBCE0103", true},
      {Number(0x800407E9), "SLBCE1001", true},   {Number(0x80040800), "SLBCE1024", true},
      {Number(0x80042B0E), "SLBCE9998", true},   {Number(0x80042B0F), "SLBCE9999", false},
      {Number(0x80040400), "SLBCE0000", false},  {Number(0x800403FB), "SLBCE00-5", false},
      {Number(0x80040000), "SLBCE-1024", false}, {0, "SLBCE2147220480", false},
      {263167, "SLBCE2147483647", false},        {Number(0x80000000), "SLBCE-263168", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(handler->Call("GetErrorLabelCode", c.number), Variant(c.label));
    EXPECT_EQ(handler->Call("CheckIfTesmikError", c.number), Variant(c.own));
  }
  EXPECT_EQ(handler->Call("GetTesmikIdentifier"), Variant("Tesmik - Ardwynet"));
}

TEST(ErrorHandlerTest, NumbersAbove263167Overflow) {
  testing::TestInstallation installation;
  ObjectPtr handler = CreateObject("QuorvanUtility.ErrorHandler");
  struct Case {
    const char* member;
    const char* source;
  };
  const Case cases[] = {{"GetErrorLabelCode", "QuorvanUtility.ErrorHandler.GetErrorLabelCode"},
                        {"CheckIfTesmikError", "QuorvanUtiltiy.ErrorHandler.CheckIfTesmikError"}};
  for (const auto& c : cases) {
    for (int32_t number : {263168, 2147483647}) {
      SCOPED_TRACE(std::string(c.member) + " " + std::to_string(number));
      try {
        handler->Call(c.member, number);
        ADD_FAILURE() << "no error";
      } catch (const AutomationError& e) {
        EXPECT_EQ(e.record().number, 6);
        EXPECT_EQ(e.record().source, "QuorvanUtility");
        EXPECT_EQ(e.record().description, std::string("\r\nERROR 0x6\r\n METHOD: ") + c.source +
                                              "\r\n DESC: Overflow.\r\n");
      }
    }
  }
  EXPECT_NE(installation.ReadLog().find("METHOD: QuorvanUtility.ErrorHandler.GetErrorLabelCode"),
            std::string::npos);
}

TEST(ErrorHandlerTest, TextArgumentsConvertOrFailAsArgumentErrors) {
  ObjectPtr handler = CreateObject("QuorvanUtility.ErrorHandler");
  EXPECT_EQ(handler->Call("GetErrorLabelCode", "-2147219479"), Variant("SLBCE1001"));
  try {
    handler->Call("GetErrorLabelCode", "abc");
    ADD_FAILURE() << "no error";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.record().number, 13);
  }
}

TEST(LibEnumTest, EveryModulePublishesTheSharedEnumerations) {
  for (const char* library : {"QuorvanUtility", "QuorvanGeneral", "QuorvanGeneralMTS"}) {
    SCOPED_TRACE(library);
    const ClassInfo& info = ClassRegistry::Instance().Describe(std::string(library) + ".Lib_Enum");
    EXPECT_TRUE(info.members().empty());
    EXPECT_EQ(info.enums.size(), 19u);
    EXPECT_TRUE(CreateObject(std::string(library) + ".Lib_Enum"));
  }
  const ClassInfo& general = ClassRegistry::Instance().Describe("QuorvanGeneral.Enums");
  ASSERT_EQ(general.enums.size(), 2u);
  EXPECT_EQ(general.enums[0].name, "EAllOrSpecific");
}

}  // namespace
}  // namespace quorvan
