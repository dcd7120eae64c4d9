#include "platform/data/data_error.h"

#include <array>

#include "platform/automation/error_record.h"
#include "platform/data/ado_constants.h"

namespace quorvan::data {
namespace {

struct ErrorText {
  int32_t number;
  const char* text;
};

constexpr std::array kTexts{
    ErrorText{data_error::kProviderNotFound,
              "Provider cannot be found. It may not be properly installed."},
    ErrorText{data_error::kBofOrEof,
              "Either BOF or EOF is True, or the current record has been deleted. Requested "
              "operation requires a current record."},
    ErrorText{data_error::kNotInCollection,
              "Item cannot be found in the collection corresponding to the requested name or "
              "ordinal."},
    ErrorText{data_error::kNotAllowedInContext, "Operation is not allowed in this context."},
    ErrorText{data_error::kObjectClosed, "Operation is not allowed when the object is closed."},
    ErrorText{data_error::kObjectOpen, "Operation is not allowed when the object is open."},
    ErrorText{data_error::kArgumentsWrongType,
              "Arguments are of the wrong type, are out of acceptable range, or are in conflict "
              "with one another."},
    ErrorText{data_error::kNotSupported, "Current Recordset does not support updating."},
    ErrorText{data_error::kRowNotLocated,
              "Row cannot be located for updating. Some values may have been changed since it was "
              "last read."},
};

}  // namespace

void RaiseDataError(int32_t number, const std::string& source, const std::string& detail) {
  std::string text = "Unknown error";
  for (const auto& entry : kTexts) {
    if (entry.number == number) text = entry.text;
  }
  if (!detail.empty()) text += " (" + detail + ")";
  RaiseError(number, source, text);
}

void RaiseProviderError(int32_t number, const std::string& provider, const std::string& message) {
  RaiseError(number, provider, message);
}

}  // namespace quorvan::data
