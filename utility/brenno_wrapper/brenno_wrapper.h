// "QuorvanUtility.BrennoWrapper": a narrow view of the host platform for pages and components:
// the site's base address, a bound membership user, and the installed languages of the common
// database. Stateless.
#pragma once

#include <string>

#include "platform/automation/object.h"
#include "shared/data_access.h"

namespace quorvan::utility {

class BrennoWrapper : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  // "http://" NONSECUREHOSTNAME when SSLMODE is "None" (any case), else "https://"
  // SECUREHOSTNAME; then "/", APPLICATIONDIRECTORY, "/".
  std::string GetSiteUrl();
  // The bound user; a user that cannot be bound is an error here (unlike the shared lookup).
  ObjectPtr GetUserObject(const std::string& i_sUserID);
  // LOCALEID (as text) -> LANGUAGEDESCRIPTION of INSTALLEDLANGUAGE, ordered by description.
  ObjectPtr usrCreateLanguageChoice();

 private:
  // An open connection to the common database ("Jassoway"), configuration read every time.
  shared::ConnectionPtr getJassowayConnection();
};

}  // namespace quorvan::utility
