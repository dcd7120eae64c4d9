// "QuorvanGeneral.RIChecker": answers the host platform's IReferentialIntegrity question,
// whether a master-data record (address, business partner, currency, user...) is still
// referred to by contracts or alerts. Stateless; each Exists call uses its own connection.
//
// Exists upper-cases the origin, looks it up in the origin table, formats the key's value as
// the row says (N: a 32-bit integer; T: text; PLANT: the integer's decimal text as text) for
// every statement of the row before touching the database, then runs the statements in order
// on one connection and stops at the first that finds a row. BeforeDelete always answers true.
// Both arm their failure path on entry even while another error is current.
#pragma once

#include "platform/automation/object.h"

namespace quorvan::general {

class RIChecker : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  bool Exists(Variant& i_sOrigin, Variant& i_aKeys, Variant& i_aValues);
  bool BeforeDelete(Variant& i_sOrigin, Variant& i_aKeys, Variant& i_aValues);
};

}  // namespace quorvan::general
