#include "platform/automation/current_error.h"

#include <exception>

namespace quorvan {
namespace {

thread_local ErrorRecord t_current_error;
thread_local int t_call_depth = 0;

}  // namespace

ErrorRecord& CurrentError() { return t_current_error; }

bool IsHandlingError() { return t_current_error.number != 0 || std::uncaught_exceptions() > 0; }

void ClearCurrentError() { t_current_error = ErrorRecord{}; }

CallScope::CallScope() noexcept { ++t_call_depth; }

CallScope::~CallScope() {
  if (--t_call_depth == 0) ClearCurrentError();
}

}  // namespace quorvan
