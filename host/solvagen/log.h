// "Solvagen.Log": appends entries to the installation's log file ([log] File of the
// configuration; relative paths are taken from the configuration's folder).
//
// One entry: "<local time ISO> level=<n> source=<source>" on its first line, then the message
// as given (its own line breaks kept), then a blank line. Each entry is written with one
// append, so entries of concurrent processes never interleave. Stateless.
#pragma once

#include <string>

#include "platform/automation/object.h"

namespace quorvan::host {

class Log : public Object {
 public:
  static const ClassInfo& Info();
  const ClassInfo& Class() const override { return Info(); }

  Variant WriteEntry(Variant& source, Variant& message, Variant& level);

  // The log file named by the configuration in QUORVAN_CONFIG.
  static std::string LogFilePath();
};

}  // namespace quorvan::host
