// Installation: the folder that `quorvan init DIR` creates and every other command runs on.
//
//   DIR/quorvan.ini                 the commented configuration file
//   DIR/site/siteConfiguration.xml  the site configuration of application Fennick
//   DIR/site/users.json             the embedded membership directory
//   DIR/data/                       the embedded databases
//   DIR/log/quorvan.log             the log
//   DIR/mail/pickup/                mail written by the pickup transport
//   DIR/attachments/                the local attachment store
//   DIR/Tesmik/FileStorage/Application/Cache/   the form cache files
//
// Creating over an existing quorvan.ini is refused, so that init never destroys a working
// installation.
#pragma once

#include <string>

namespace quorvan::tool {

struct InstallationOptions {
  std::string component_path;  // written to [quorvan] ComponentPath; empty: beside the tool
  // The database of both connections (application and common tables); empty: the embedded
  // SQLite files DIR/data/hadrell.db and DIR/data/jassoway.db.
  std::string connection;
};

// Creates the installation, with the schema applied to its databases; returns the path of its
// configuration file, which is written last, so that a failed init leaves no installation
// that looks usable. Throws AutomationError: 58 when DIR/quorvan.ini exists, 75 when a file
// cannot be written, the provider's error when a database cannot be set up.
std::string CreateInstallation(const std::string& dir, const InstallationOptions& options = {});

// The connection strings of the application ("Hadrell") and common ("Jassoway") databases.
struct DatabaseConnections {
  std::string application;
  std::string common;
};
DatabaseConnections ConnectionsOf(const std::string& config_path);

// Applies the schema to both databases (once when they are the same); returns the number of
// statements run.
int InitializeDatabases(const DatabaseConnections& connections);

}  // namespace quorvan::tool
