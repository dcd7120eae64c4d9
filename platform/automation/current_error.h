// The thread's current error: the record of the failure being handled on this thread, or none
// (number 0). Set by the method guard when it catches a failure; cleared by the outermost entry
// into the system when its call ends, and by code that swallows a failure on purpose.
#pragma once

#include "platform/automation/error_record.h"

namespace quorvan {

// The calling thread's current error. Never null; number 0 means none.
ErrorRecord& CurrentError();

// True while a failure is being handled on this thread: an error is current, or an exception is
// unwinding the stack (destructors releasing resources). Guarded code that runs meanwhile runs
// unarmed, so its own failures pass through untouched and never replace the first error.
bool IsHandlingError();

void ClearCurrentError();

// Marks an entry into the system from outside (the tool, the C++ API, a test). Entries nest;
// when the outermost one ends, the thread's current error is cleared, so that no error is
// current between calls. Not copyable; lives on the caller's stack.
class CallScope {
 public:
  CallScope() noexcept;
  ~CallScope();
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;
};

}  // namespace quorvan
