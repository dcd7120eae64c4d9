// "VexaLibrary.Utilities": the SQL literal formatter. Each member takes one value and returns
// a complete literal, valid on SQLite and PostgreSQL:
//   text     '...' with every quote doubled; a NUL is refused (error 5), never cut
//   integer  decimal digits; double: shortest text that reads back to the same double
//            (non-finite values are error 6); currency: exact, 4 decimals
//   date     'YYYY-MM-DD HH:MM:SS' (whole seconds), chronological as text
//   Null     NULL, for every member
// Conversions follow the Variant rules (error 13 for text that is no number, and so on).
// Stateless and thread-safe.
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::host {

class Utilities : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  std::string FormatInsertString(const Variant& value) const;
  std::string FormatString(const Variant& value) const;
  std::string FormatInteger(const Variant& value) const;
  std::string FormatLong(const Variant& value) const;
  std::string FormatDouble(const Variant& value) const;
  std::string FormatCurrency(const Variant& value) const;
  std::string FormatDate(const Variant& value) const;
};

}  // namespace quorvan::host
