// quorvan: the command-line entry into the component layer.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "host/config/quorvan_config.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/current_error.h"
#include "tools/quorvan/commands.h"

namespace {

using quorvan::tool::Arguments;

struct Command {
  int (*run)(Arguments&);
  const char* help;
  bool needs_config;
};

const std::map<std::string, Command>& Commands() {
  using namespace quorvan::tool;
  static const std::map<std::string, Command> commands{
      {"init", {InitCommand, kInitHelp, false}},
      {"call", {CallCommand, kCallHelp, true}},
      {"script", {ScriptCommand, kScriptHelp, true}},
      {"describe", {DescribeCommand, kDescribeHelp, false}},
      {"user", {UserCommand, kUserHelp, true}},
      {"db", {DbCommand, kDbHelp, true}},
      {"run", {RunCommand, kRunHelp, true}},
  };
  return commands;
}

// Applies [quorvan] ComponentPath of the configuration when neither the environment nor the
// default is overridden; a configuration that cannot be read is reported by the command.
void ApplyComponentPath() {
  if (const char* env = std::getenv("QUORVAN_COMPONENT_PATH"); env && *env) return;
  try {
    const auto config = quorvan::host::QuorvanConfig::FromEnvironment();
    const std::string path = config->GetOr("quorvan", "ComponentPath", "");
    if (!path.empty()) quorvan::ClassRegistry::Instance().SetComponentPath(path);
  } catch (const quorvan::AutomationError&) {
  }
}

int Run(std::vector<std::string> raw) {
  size_t next = 0;
  while (next < raw.size() && raw[next].rfind("--", 0) == 0) {
    const std::string option = raw[next++];
    if (option == "--help") {
      std::cout << quorvan::tool::kMainHelp;
      return quorvan::tool::kExitOk;
    }
    if (option == "--config") {
      if (next >= raw.size()) throw quorvan::tool::UsageError("--config needs a file");
      setenv(quorvan::host::kConfigEnvironmentVariable, raw[next++].c_str(), 1);
    } else {
      throw quorvan::tool::UsageError("unknown option '" + option + "'");
    }
  }
  if (next >= raw.size()) {
    std::cerr << quorvan::tool::kMainHelp;
    return quorvan::tool::kExitUsage;
  }
  const std::string name = raw[next++];
  const auto found = Commands().find(name);
  if (found == Commands().end()) throw quorvan::tool::UsageError("unknown command '" + name + "'");
  Arguments args(
      std::vector<std::string>(raw.begin() + static_cast<std::ptrdiff_t>(next), raw.end()));
  if (args.WantsHelp()) {
    std::cout << found->second.help;
    return quorvan::tool::kExitOk;
  }
  if (found->second.needs_config &&
      std::getenv(quorvan::host::kConfigEnvironmentVariable) == nullptr) {
    throw quorvan::tool::UsageError("no configuration: pass --config FILE or set QUORVAN_CONFIG");
  }
  ApplyComponentPath();
  quorvan::CallScope scope;  // the outermost entry: no error stays current after the command
  try {
    return found->second.run(args);
  } catch (const quorvan::AutomationError& e) {
    std::cout << quorvan::tool::ErrorDocument(e.record()) << "\n";
    return quorvan::tool::kExitError;
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const quorvan::tool::UsageError& e) {
    std::cerr << "quorvan: " << e.what() << "\n(run 'quorvan --help' for usage)\n";
    return quorvan::tool::kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << "quorvan: internal error: " << e.what() << "\n";
    return quorvan::tool::kExitError;
  }
}
