// Command-line plumbing shared by the quorvan commands: the argument cursor, usage errors
// (exit status 2) and the JSON documents written on standard output.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/automation/error_record.h"

namespace quorvan::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // an error record was printed
inline constexpr int kExitUsage = 2;  // the tool's own usage errors

// A usage error: bad option, bad JSON, missing argument. Printed on stderr, exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the command name.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}
  bool Empty() const { return next_ >= args_.size(); }
  const std::string& Peek() const;
  std::string Take(const char* what);  // UsageError naming `what` when none is left
  bool TakeFlag(const char* flag);     // consumes `flag` if it is next
  bool WantsHelp() const;              // --help or -h anywhere
  void ExpectEnd() const;              // UsageError on extra arguments

 private:
  std::vector<std::string> args_;
  size_t next_ = 0;
};

// {"error": {...}} with number, hex, source, description, helpFile, helpContext.
std::string ErrorDocument(const ErrorRecord& record);
// The error record's fields, without the outer {"error": ...}.
std::string ErrorFields(const ErrorRecord& record);

}  // namespace quorvan::tool
