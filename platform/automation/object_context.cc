#include "platform/automation/object_context.h"

namespace quorvan {
namespace {

thread_local ObjectContext* t_context = nullptr;

}  // namespace

ObjectContext* ObjectContext::Current() { return t_context; }

void ObjectContext::SetCurrent(ObjectContext* context) { t_context = context; }

}  // namespace quorvan
