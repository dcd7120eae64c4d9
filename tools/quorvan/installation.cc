#include "tools/quorvan/installation.h"

#include <filesystem>
#include <fstream>

#include "db/schema_loader.h"
#include "host/config/quorvan_config.h"
#include "platform/automation/error_record.h"

namespace quorvan::tool {
namespace {

namespace fs = std::filesystem;
constexpr int32_t kPathFileAccessError = 75;

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc | std::ios::binary);
  out << text;
  out.flush();
  if (!out) RaiseRuntimeError(kPathFileAccessError, "cannot write " + path.string());
}

std::string ConfigurationText(const fs::path& dir, const InstallationOptions& options,
                              const DatabaseConnections& databases) {
  const std::string d = dir.string();
  return "; Quorvan configuration, written by `quorvan init`.\n"
         "; Every quorvan command reads it through --config FILE or QUORVAN_CONFIG.\n"
         "; Lines starting with ';' are comments; a value is everything after the first '='.\n"
         "\n"
         "[quorvan]\n"
         "; Base directory of the installation (GetInstallDirectory).\n"
         "InstallDirectory = " +
         d +
         "\n"
         "; Folder of the component modules (*.so); empty means beside the quorvan tool.\n"
         "ComponentPath = " +
         options.component_path +
         "\n"
         "\n"
         "[applications]\n"
         "; Applications configured here (IsApplicationInstalled), comma separated.\n"
         "Installed = Fennick, Hadrell, Jassoway, VexaServer\n"
         "\n"
         "[connections]\n"
         "; Database connection string per application (GetConnectionString).\n"
         "; Hadrell: the application tables. Jassoway: the common tables.\n"
         "; PostgreSQL: Provider=PostgreSQL;Host=...;Port=5432;Database=...;User "
         "ID=...;Password=...\n"
         "Hadrell = " +
         databases.application +
         "\n"
         "Jassoway = " +
         databases.common +
         "\n"
         "\n"
         "[sites]\n"
         "; ConfigDir of site n of an application: APPLICATION.n = folder (no trailing '/').\n"
         "Fennick.1 = " +
         d +
         "/site\n"
         "\n"
         "[log]\n"
         "; The host log that every handled error is written to.\n"
         "File = " +
         d +
         "/log/quorvan.log\n"
         "\n"
         "[mail]\n"
         "; Transport: pickup (one .eml file per message in PickupDirectory) or smtp.\n"
         "Transport = pickup\n"
         "PickupDirectory = " +
         d +
         "/mail/pickup\n"
         "; smtp: server, port, STARTTLS (true/false), login (empty user: none), timeout in "
         "seconds.\n"
         "SmtpHost = localhost\n"
         "SmtpPort = 25\n"
         "SmtpStartTls = false\n"
         "SmtpUser =\n"
         "SmtpPassword =\n"
         "SmtpTimeout = 30\n"
         "\n"
         "; Settings read with GetValue. [APP/SECTION] holds SECTION while application APP is\n"
         "; selected; a plain [SECTION] is the global scope and the fallback for every "
         "application.\n"
         "\n"
         "[Fennick/CONNECTIONS]\n"
         "; Seconds (0: no limit); cursor location 2 server side, 3 client side.\n"
         "HadrellConnection_CommandTimeout = 30\n"
         "HadrellConnection_ConnectionTimeout = 15\n"
         "HadrellConnection_CursorLocation = 3\n"
         "\n"
         "[VexaServer/CONNECTIONS]\n"
         "JassowayConnection_CommandTimeout = 30\n"
         "JassowayConnection_ConnectionTimeout = 15\n"
         "JassowayConnection_CursorLocation = 3\n"
         "\n"
         "[Fennick/SOURCINGPARAMETERS]\n"
         "; Application parameters (QuorvanUtility.Parameter).\n"
         "ORIGINATINGEMAIL = quorvan@localhost\n"
         "CENTRALFILESTORAGE = 0\n"
         "FILESTORAGEPATH = " +
         d +
         "/attachments\n"
         "\n"
         "[GLOBAL]\n"
         "; The site address used in links: http(s)://HOST/APPLICATIONDIRECTORY/\n"
         "NONSECUREHOSTNAME = localhost\n"
         "SECUREHOSTNAME = localhost\n"
         "APPLICATIONDIRECTORY = sourcing\n"
         "\n"
         "[COMMONPARAMETERS]\n"
         "; None: links use http; anything else: https.\n"
         "SSLMODE = None\n";
}

constexpr const char* kSiteConfigurationText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- Site configuration of application Fennick, site 1. -->\n"
    "<siteConfiguration>\n"
    "  <section name=\"MEMBERSHIP\">\n"
    "    <!-- The account and code that bind membership users; LDAPRoot is appended to the\n"
    "         account after a comma when it is not empty. -->\n"
    "    <value key=\"MemScriptUser\">quorvan-bind</value>\n"
    "    <value key=\"MemScriptCode\">change-me</value>\n"
    "    <value key=\"LDAPRoot\"></value>\n"
    "    <!-- The embedded directory, relative to this folder (`quorvan user add`). -->\n"
    "    <value key=\"UsersFile\">users.json</value>\n"
    "  </section>\n"
    "</siteConfiguration>\n";

}  // namespace

std::string CreateInstallation(const std::string& dir_text, const InstallationOptions& options) {
  fs::path dir = fs::absolute(dir_text).lexically_normal();
  if (dir.filename().empty()) dir = dir.parent_path();  // "DIR/" names DIR
  const fs::path config = dir / "quorvan.ini";
  std::error_code error;
  if (fs::exists(config, error)) {
    RaiseRuntimeError(runtime_error::kFileAlreadyExists, config.string());
  }
  for (const char* folder : {"", "site", "data", "log", "mail/pickup", "attachments",
                             "Tesmik/FileStorage/Application/Cache"}) {
    fs::create_directories(dir / folder, error);
    if (error) {
      RaiseRuntimeError(kPathFileAccessError, (dir / folder).string() + ": " + error.message());
    }
  }
  WriteFile(dir / "site" / "siteConfiguration.xml", kSiteConfigurationText);
  if (!fs::exists(dir / "site" / "users.json")) {
    WriteFile(dir / "site" / "users.json", "{\"users\": []}\n");
  }
  if (!fs::exists(dir / "log" / "quorvan.log")) WriteFile(dir / "log" / "quorvan.log", "");
  DatabaseConnections databases{options.connection, options.connection};
  if (options.connection.empty()) {
    databases.application = "Provider=SQLite;Data Source=" + (dir / "data" / "hadrell.db").string();
    databases.common = "Provider=SQLite;Data Source=" + (dir / "data" / "jassoway.db").string();
  }
  InitializeDatabases(databases);
  WriteFile(config, ConfigurationText(dir, options, databases));
  return config.string();
}

DatabaseConnections ConnectionsOf(const std::string& config_path) {
  const auto config = host::QuorvanConfig::Load(config_path);
  DatabaseConnections connections;
  connections.application = config->GetOr("connections", "Hadrell", "");
  connections.common = config->GetOr("connections", "Jassoway", "");
  if (connections.application.empty() || connections.common.empty()) {
    RaiseRuntimeError(runtime_error::kInvalidProcedureCall,
                      config_path + " names no connection string for Hadrell or Jassoway");
  }
  return connections;
}

int InitializeDatabases(const DatabaseConnections& connections) {
  int statements = db::ApplySchema(connections.application);
  if (connections.common != connections.application) {
    statements += db::ApplySchema(connections.common);
  }
  return statements;
}

}  // namespace quorvan::tool
