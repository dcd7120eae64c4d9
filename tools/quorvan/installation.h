// Installation: the folder that `quorvan init DIR` creates and every other command runs on.
//
//   DIR/quorvan.ini                 the commented configuration file
//   DIR/site/siteConfiguration.xml  the site configuration of application Fennick
//   DIR/site/users.json             the embedded membership directory
//   DIR/data/                       the embedded databases
//   DIR/log/quorvan.log             the log
//   DIR/mail/pickup/                mail written by the pickup transport
//
// Creating over an existing quorvan.ini is refused, so that init never destroys a working
// installation.
#pragma once

#include <string>

namespace quorvan::tool {

struct InstallationOptions {
  std::string component_path;  // written to [quorvan] ComponentPath; empty: beside the tool
};

// Creates the installation; returns the path of its configuration file. Throws
// AutomationError (error 58) when DIR/quorvan.ini exists, 75 when a file cannot be written.
std::string CreateInstallation(const std::string& dir, const InstallationOptions& options = {});

// The site configuration folder of an installation's configuration file.
std::string SiteFolderOf(const std::string& config_path);

}  // namespace quorvan::tool
