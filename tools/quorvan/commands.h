// The quorvan commands. Each takes the arguments after its name, writes its JSON or text on
// standard output, and returns the exit status (0 ok, 1 error record printed, 2 usage).
// Usage errors are thrown as UsageError; automation errors that leave a command are printed
// as {"error": ...} on standard output with exit status 1, once, by the entry point.
#pragma once

#include "tools/quorvan/command_line.h"

namespace quorvan::tool {

int InitCommand(Arguments& args);
int CallCommand(Arguments& args);
int ScriptCommand(Arguments& args);
int DescribeCommand(Arguments& args);
int UserCommand(Arguments& args);
int DbCommand(Arguments& args);
int RunCommand(Arguments& args);

// Help texts, one per command, and the overview.
extern const char* const kMainHelp;
extern const char* const kInitHelp;
extern const char* const kCallHelp;
extern const char* const kScriptHelp;
extern const char* const kDescribeHelp;
extern const char* const kUserHelp;
extern const char* const kDbHelp;
extern const char* const kRunHelp;

}  // namespace quorvan::tool
