// "Kimbrel.RFIResponse": stand-in for the sibling component that knows RFI responses. Its one
// member answers from table RFIRESPONSE of the application database:
//   GetResponseDetails(criteria Dictionary {"RESPONSEID": id}, fields array) -> Dictionary
// field name -> value of the response's row; a NULL value, or no such response, gives the
// empty text. The id must be a whole number and the field names plain column names (error 5
// otherwise): nothing a caller passes becomes statement text. Stateless.
#pragma once

#include "platform/automation/object.h"

namespace quorvan::host {

class RFIResponse : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  ObjectPtr GetResponseDetails(Variant& criteria, const Variant& fields);
};

}  // namespace quorvan::host
