// ErrorOf: runs an action as an outer entry into the system and returns the error record it
// raised (number 0 when it raised none). The thread's current error is cleared afterwards, as
// after any outer call.
#pragma once

#include <functional>

#include "platform/automation/current_error.h"
#include "platform/automation/error_record.h"

namespace quorvan::testing {

inline ErrorRecord ErrorOf(const std::function<void()>& action) {
  CallScope scope;
  try {
    action();
  } catch (const AutomationError& e) {
    return e.record();
  }
  return ErrorRecord{};
}

inline int ErrorNumberOf(const std::function<void()>& action) { return ErrorOf(action).number; }

}  // namespace quorvan::testing
