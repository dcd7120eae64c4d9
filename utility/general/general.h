// "QuorvanUtility.General": small stateless helpers for pages: delimiter check, posted form
// values and their length, dates in a locale's short form, hours-and-minutes texts in a
// locale's notation, date-time comparisons at minute precision, the application identifiers.
// Locales are numeric identifiers (1033, 1031, 1041...; see platform/locale).
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::utility {

class General : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  bool CheckForDelimiters(const std::string& i_sString);
  std::string GetFormVariable(const Variant& i_vRequestForm, const std::string& i_sVariableName);
  bool ValidateFormVarForLength(const Variant& i_vRequestForm, const std::string& i_sVariableName,
                                int32_t i_lLength);
  Variant DateTime(const Variant& i_dDateValue, const Variant& i_vLocaleID, bool i_bWithTime);
  Variant getValidTimeString(const Variant& i_vTimeString, const Variant& i_vLocaleID);
  std::string GetTimeSeparator(const Variant& i_lLocaleId);
  bool IsDateTime1OnOrBeforeDateTime2(const Variant& iDate1, const Variant& iDate2);
  bool IsDateTime1OnOrAfterDateTime2(const Variant& iDate1, const Variant& iDate2);
  std::string GetSourcingIdentifier();
  std::string GetTesmikIdentifier();

 private:
  static constexpr int32_t kLocaleTimeSeparator = 30;
  // The locale service's text for one kind of information; "" when it has none.
  std::string GetUserLocaleInfoW(int32_t locale_id, int32_t information);
};

}  // namespace quorvan::utility
