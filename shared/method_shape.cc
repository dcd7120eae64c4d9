#include "shared/method_shape.h"

#include <new>
#include <string>

#include "shared/general.h"

namespace quorvan::shared {
namespace {

std::string& ProjectNameStorage() {
  static std::string name = "Quorvan";
  return name;
}

bool IsRuntimeErrorNumber(int32_t number) { return number > 0 && number < 65536; }

ErrorRecord RecordOf(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const AutomationError& error) {
    return error.record();
  } catch (const std::bad_alloc&) {
    return ErrorRecord{runtime_error::kOutOfMemory, "",
                       RuntimeErrorText(runtime_error::kOutOfMemory)};
  } catch (const std::exception& error) {
    return ErrorRecord{runtime_error::kInternalError, "",
                       RuntimeErrorText(runtime_error::kInternalError) + ": " + error.what()};
  } catch (...) {
    return ErrorRecord{runtime_error::kInternalError, "",
                       RuntimeErrorText(runtime_error::kInternalError)};
  }
}

}  // namespace

void SetProjectName(std::string_view name) { ProjectNameStorage() = std::string(name); }

const std::string& ProjectName() { return ProjectNameStorage(); }

bool MethodShape::Arm() const {
  if (always_armed_) {
    ClearCurrentError();
    return true;
  }
  return !IsHandlingError();
}

void MethodShape::Complete() const {
  if (transactional_) CompleteObjectContext();
}

void MethodShape::Fail(std::exception_ptr failure) const {
  ErrorRecord record = RecordOf(failure);
  if (record.source.empty() && IsRuntimeErrorNumber(record.number)) record.source = ProjectName();
  CurrentError() = record;
  if (transactional_) {
    try {
      AbortObjectContext();
    } catch (...) {
      CurrentError() = record;  // the vote's own failure never hides the first error
    }
  }
  ErrorInfo info;
  if (info_) info = info_();
  HandleError(std::string(source_), info);
}

}  // namespace quorvan::shared
