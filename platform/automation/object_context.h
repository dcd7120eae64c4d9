// ObjectContext: the seam for the platform's transaction context service. A context creates
// objects inside its transaction and takes commit and abort votes. No such service exists on
// this platform yet, so Current() is null unless a host installs one for the thread, and every
// caller takes its no-context branch.
#pragma once

#include <string_view>

#include "platform/automation/object.h"

namespace quorvan {

class ObjectContext {
 public:
  virtual ~ObjectContext() = default;

  // The calling thread's context, or nullptr outside a transaction.
  static ObjectContext* Current();
  // Installs (or, with nullptr, removes) the calling thread's context; the caller keeps
  // ownership and removes it before destroying it.
  static void SetCurrent(ObjectContext* context);

  virtual ObjectPtr CreateInstance(std::string_view class_id) = 0;
  virtual void SetComplete() = 0;
  virtual void SetAbort() = 0;
};

}  // namespace quorvan
