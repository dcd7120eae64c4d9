// Runs the quorvan tool as a user would, from the folder of the test binary, and captures
// its standard output and exit status.
#pragma once

#include <string>
#include <vector>

namespace quorvan::testing {

struct ToolRun {
  int exit_status = -1;
  std::string out;
};

// `input` is written to the tool's standard input. Standard error is discarded.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = {});

}  // namespace quorvan::testing
