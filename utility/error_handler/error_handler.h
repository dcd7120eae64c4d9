// "QuorvanUtility.ErrorHandler": tells a page whether an error number is one of the system's
// own and turns it into its label code ("SLBCE" and at least four digits). Stateless.
//
// The distance of a number is number - 0x80040400 in 32-bit signed arithmetic; a number above
// 263167 has no such distance and fails with error 6 (overflow).
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::utility {

class ErrorHandler : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  std::string GetErrorLabelCode(int32_t i_lErrorNumber);
  bool CheckIfTesmikError(int32_t i_lErrorNumber);
  std::string GetTesmikIdentifier();

 private:
  // Decimal text of n ("-" in front when negative), zero-padded on the left to four characters.
  std::string GetPaddedLabelNumber(int32_t n);
};

}  // namespace quorvan::utility
