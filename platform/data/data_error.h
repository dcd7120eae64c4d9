// Raising the row-set platform's errors with their standard texts.
#pragma once

#include <cstdint>
#include <string>

namespace quorvan::data {

// Raises `number` with the platform's text for it (and `detail` after it), from `source`
// ("QuorvanData.Recordset" and so on).
[[noreturn]] void RaiseDataError(int32_t number, const std::string& source,
                                 const std::string& detail = {});

// Raises a database's own failure: the message passes through unchanged; the source is the
// provider ("SQLite", "PostgreSQL").
[[noreturn]] void RaiseProviderError(int32_t number, const std::string& provider,
                                     const std::string& message);

}  // namespace quorvan::data
