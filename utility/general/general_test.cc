// "QuorvanUtility.General" through late binding.
#include <gtest/gtest.h>

#include "platform/automation/automation_date.h"
#include "platform/automation/class_registry.h"
#include "platform/web/posted_form.h"
#include "tests/support/error_capture.h"

namespace quorvan {
namespace {

using testing::ErrorOf;

class GeneralTest : public ::testing::Test {
 protected:
  ObjectPtr general_ = CreateObject("QuorvanUtility.General");
};

TEST_F(GeneralTest, ValidTimeStrings) {
  struct Case {
    Variant text;
    int32_t locale;
    Variant expected;
  };
  const Case cases[] = {
      {Variant("9:5"), 1033, Variant("09:05")},  {Variant("9"), 1033, Variant("09:00")},
      {Variant("24:00"), 1033, Variant::Null()}, {Variant("12:60"), 1033, Variant::Null()},
      {Variant("1:2:3"), 1033, Variant::Null()}, {Variant("-1:30"), 1033, Variant::Null()},
      {Variant("ab:10"), 1033, Variant::Null()}, {Variant("23.4"), 1033, Variant("23.4:00")},
      {Variant("23.5"), 1033, Variant::Null()},  {Variant(" 9:05"), 1033, Variant(" 9:05")},
      {Variant("7.15"), 1035, Variant("07.15")}, {Variant("12:30"), 99999, Variant::Null()},
      {Variant("12"), 99999, Variant("1200")},   {Variant(":30"), 1033, Variant::Null()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.ToString() + " @" + std::to_string(c.locale));
    EXPECT_EQ(general_->Call("getValidTimeString", c.text, c.locale), c.expected);
  }
  const ErrorRecord empty = ErrorOf([&] { general_->Call("getValidTimeString", "", 1033); });
  EXPECT_EQ(empty.number, 9);
  EXPECT_NE(empty.description.find(" METHOD: QuorvanUtility.General.getValidTimeString\r\n"),
            std::string::npos);
}

TEST_F(GeneralTest, ComparisonsIgnoreSecondsAndFractions) {
  const Variant later = Variant::FromDate(*ParseIsoDate("2024-05-06T10:30:59"));
  const Variant earlier = Variant::FromDate(*ParseIsoDate("2024-05-06T10:30:00"));
  const Variant next_day = Variant::FromDate(*ParseIsoDate("2024-05-07T00:00:00"));
  EXPECT_EQ(general_->Call("IsDateTime1OnOrBeforeDateTime2", later, earlier), Variant(true));
  EXPECT_EQ(general_->Call("IsDateTime1OnOrAfterDateTime2", later, earlier), Variant(true));
  EXPECT_EQ(general_->Call("IsDateTime1OnOrBeforeDateTime2", next_day, later), Variant(false));
  EXPECT_EQ(general_->Call("IsDateTime1OnOrAfterDateTime2", earlier, next_day), Variant(false));
}

TEST_F(GeneralTest, DatesInTheLocalesShortFormWithoutSpaces) {
  const Variant moment = Variant::FromDate(*ParseIsoDate("2024-03-05T07:08:09"));
  EXPECT_EQ(general_->Call("DateTime", moment, 1033), Variant("3/5/2024"));
  EXPECT_EQ(general_->Call("DateTime", moment, "1031", true), Variant("05.03.2024 07:08"));
  EXPECT_EQ(general_->Call("DateTime", moment, 1038), Variant("2024.03.05."));  // spaces removed
  EXPECT_EQ(general_->Call("DateTime", moment, 99999, true), Variant(" "));
  EXPECT_EQ(general_->Call("GetTimeSeparator", 1033), Variant(":"));
  EXPECT_EQ(ErrorOf([&] { general_->Call("DateTime", moment, "x"); }).number, 13);
}

TEST_F(GeneralTest, DelimitersFormValuesAndIdentifiers) {
  EXPECT_EQ(general_->Call("CheckForDelimiters", "a|b"), Variant(true));
  EXPECT_EQ(general_->Call("CheckForDelimiters", "x#eso#y"), Variant(true));
  EXPECT_EQ(general_->Call("CheckForDelimiters", "#ES O#"), Variant(false));
  auto form = std::make_shared<web::PostedForm>();
  form->AddField("TXT_NAME", {"ab", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"});  // 2 + 1 + 2 UTF-16 units
  EXPECT_EQ(general_->Call("GetFormVariable", ObjectPtr(form), "txt_name"),
            Variant("ab\xE2\x82\xAC\xF0\x9F\x98\x80"));
  EXPECT_EQ(general_->Call("ValidateFormVarForLength", ObjectPtr(form), "TXT_NAME", 5),
            Variant(true));
  EXPECT_EQ(general_->Call("ValidateFormVarForLength", ObjectPtr(form), "TXT_NAME", 4),
            Variant(false));
  EXPECT_EQ(general_->Call("ValidateFormVarForLength", ObjectPtr(form), "ABSENT", 0),
            Variant(true));
  EXPECT_EQ(general_->Call("GetFormVariable", ObjectPtr(form), "ABSENT"), Variant(""));
  EXPECT_EQ(general_->Call("GetSourcingIdentifier"), Variant("Mordane Sourcing"));
  EXPECT_EQ(general_->Call("GetTesmikIdentifier"), Variant("Tesmik - Ardwynet"));
}

}  // namespace
}  // namespace quorvan
