#include <iostream>

#include "platform/automation/error_record.h"
#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"
#include "tools/quorvan/installation.h"

namespace quorvan::tool {

int InitCommand(Arguments& args) {
  const std::string dir = args.Take("DIR");
  InstallationOptions options;
  if (args.TakeFlag("--connection"))
    options.connection = args.Take("connection string after --connection");
  args.ExpectEnd();
  const std::string config = CreateInstallation(dir, options);
  std::cout << "{\"config\": " << json::QuoteJson(config) << "}\n";
  std::cerr << "Created " << config << ". Use it with: quorvan --config " << config << " ...\n";
  return kExitOk;
}

}  // namespace quorvan::tool
