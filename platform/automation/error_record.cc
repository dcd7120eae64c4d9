#include "platform/automation/error_record.h"

#include <array>
#include <utility>

namespace quorvan {
namespace {

struct RuntimeText {
  int32_t number;
  const char* text;
};

constexpr std::array kRuntimeTexts{
    RuntimeText{5, "Invalid procedure call or argument"},
    RuntimeText{6, "Overflow"},
    RuntimeText{7, "Out of memory"},
    RuntimeText{9, "Subscript out of range"},
    RuntimeText{13, "Type mismatch"},
    RuntimeText{51, "Internal error"},
    RuntimeText{53, "File not found"},
    RuntimeText{58, "File already exists"},
    RuntimeText{61, "Disk full"},
    RuntimeText{70, "Permission denied"},
    RuntimeText{75, "Path/File access error"},
    RuntimeText{76, "Path not found"},
    RuntimeText{91, "Object variable not set"},
    RuntimeText{94, "Invalid use of Null"},
    RuntimeText{424, "Object required"},
    RuntimeText{429, "Cannot create object"},
    RuntimeText{438, "Object doesn't support this property or method"},
    RuntimeText{440, "Automation error"},
    RuntimeText{448, "Named argument not found"},
    RuntimeText{449, "Argument not optional"},
    RuntimeText{450, "Wrong number of arguments or invalid property assignment"},
    RuntimeText{457, "This key is already associated with an element of this collection"},
    RuntimeText{32811, "Element not found"},
};

}  // namespace

std::string RuntimeErrorText(int32_t number) {
  for (const auto& entry : kRuntimeTexts) {
    if (entry.number == number) return entry.text;
  }
  return "Application-defined or object-defined error";
}

AutomationError::AutomationError(ErrorRecord record) : record_(std::move(record)) {}

void RaiseRuntimeError(int32_t number, const std::string& detail, const std::string& source) {
  std::string text = RuntimeErrorText(number);
  if (!detail.empty()) text += ": " + detail;
  throw AutomationError(ErrorRecord{number, source, std::move(text), "", 0});
}

void RaiseError(int32_t number, std::string source, std::string description) {
  throw AutomationError(ErrorRecord{number, std::move(source), std::move(description), "", 0});
}

}  // namespace quorvan
