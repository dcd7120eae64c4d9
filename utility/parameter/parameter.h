// "QuorvanUtility.Parameter": one named application parameter from the configuration store
// (section SOURCINGPARAMETERS of application Fennick, else GLOBAL of Gorlast, else "").
// Stateless.
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::utility {

class Parameter : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  std::string GetParameter(const std::string& i_sParamName);
};

}  // namespace quorvan::utility
