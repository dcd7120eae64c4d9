#include <iostream>

#include "host/config/quorvan_config.h"
#include "host/config/site_configuration.h"
#include "host/vexa_membership/user_directory.h"
#include "platform/json/variant_json.h"
#include "tools/quorvan/commands.h"

namespace quorvan::tool {
namespace {

// The directory file of the installation's first Fennick site, as the membership user finds it.
std::string DirectoryPath() {
  const auto config = host::QuorvanConfig::FromEnvironment();
  const std::string site_folder = config->GetOr("sites", "Fennick.1", config->Folder() + "/site");
  const auto site = host::SiteConfiguration::Load(site_folder + "/siteConfiguration.xml");
  const std::string file = site.Get("MEMBERSHIP", "UsersFile").value_or("users.json");
  return file.rfind('/', 0) == 0 ? file : site_folder + "/" + file;
}

int32_t NumberOption(const std::string& option, const std::string& text) {
  try {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < INT32_MIN || value > INT32_MAX)
      throw std::out_of_range(text);
    return static_cast<int32_t>(value);
  } catch (const std::exception&) {
    throw UsageError(option + " needs a whole number, got '" + text + "'");
  }
}

int AddUser(Arguments& args) {
  host::DirectoryUser user;
  user.id = args.Take("user ID");
  if (user.id.empty() || user.id.rfind("--", 0) == 0)
    throw UsageError("user add needs an ID first");
  while (!args.Empty()) {
    const std::string option = args.Take("option");
    if (option == "--given") {
      user.given = args.Take("--given value");
    } else if (option == "--family") {
      user.family = args.Take("--family value");
    } else if (option == "--email") {
      user.email = args.Take("--email value");
    } else if (option == "--locale") {
      user.locale = std::to_string(NumberOption(option, args.Take("--locale value")));
    } else if (option == "--language") {
      user.language = NumberOption(option, args.Take("--language value"));
      if (user.language < INT16_MIN || user.language > INT16_MAX)
        throw UsageError("--language is a 16-bit number");
    } else if (option == "--type") {
      user.types.push_back(NumberOption(option, args.Take("--type value")));
    } else {
      throw UsageError("unknown option '" + option + "'");
    }
  }
  auto directory = host::UserDirectory::Load(DirectoryPath());
  const bool replaced = directory.Find(user.id) != nullptr;
  directory.Upsert(user);
  directory.Save();
  std::cout << "{\"user\": " << json::QuoteJson(user.id) << ", \"action\": \""
            << (replaced ? "replaced" : "added") << "\"}\n";
  return kExitOk;
}

int ListUsers(Arguments& args) {
  args.ExpectEnd();
  const auto directory = host::UserDirectory::Load(DirectoryPath());
  std::cout << "{\"users\": [";
  bool first = true;
  for (const auto& user : directory.users()) {
    std::string types;
    for (int32_t type : user.types) types += (types.empty() ? "" : ", ") + std::to_string(type);
    std::cout << (first ? "\n  " : ",\n  ") << "{\"id\": " << json::QuoteJson(user.id)
              << ", \"given\": " << json::QuoteJson(user.given)
              << ", \"family\": " << json::QuoteJson(user.family)
              << ", \"email\": " << json::QuoteJson(user.email)
              << ", \"locale\": " << json::QuoteJson(user.locale)
              << ", \"language\": " << user.language << ", \"types\": [" << types << "]}";
    first = false;
  }
  std::cout << (first ? "]}\n" : "\n]}\n");
  return kExitOk;
}

}  // namespace

int UserCommand(Arguments& args) {
  const std::string action = args.Take("add or list");
  if (action == "add") return AddUser(args);
  if (action == "list") return ListUsers(args);
  throw UsageError("user: unknown action '" + action + "' (add or list)");
}

}  // namespace quorvan::tool
