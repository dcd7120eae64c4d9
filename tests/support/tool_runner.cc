#include "tests/support/tool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace quorvan::testing {
namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string ToolPath() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quorvan").string();
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input) {
  char input_path[] = "/tmp/quorvan-tool-input-XXXXXX";
  const int fd = mkstemp(input_path);
  if (fd >= 0) {
    std::ofstream(input_path) << input;
    close(fd);
  }
  std::string command = ShellQuote(ToolPath());
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " <" + std::string(input_path) + " 2>/dev/null";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  unlink(input_path);
  return run;
}

}  // namespace quorvan::testing
