#include "platform/files/native_path.h"

#include "platform/automation/error_record.h"

namespace quorvan::files {

std::string NativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\0') RaiseRuntimeError(runtime_error::kInvalidProcedureCall, "path holds a NUL");
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace quorvan::files
