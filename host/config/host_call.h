// HostCall: runs a host component's member and names the component as the source of any
// failure that carries no source yet. Host components are the platform's, not the system's,
// so they do not lay out or log errors; they only say who raised them.
#pragma once

#include <string_view>
#include <type_traits>

#include "platform/automation/error_record.h"

namespace quorvan::host {

template <class Work>
std::invoke_result_t<Work> HostCall(std::string_view source, Work&& work) {
  try {
    return work();
  } catch (const AutomationError& failure) {
    if (!failure.record().source.empty()) throw;
    ErrorRecord record = failure.record();
    record.source = std::string(source);
    throw AutomationError(std::move(record));
  }
}

}  // namespace quorvan::host
