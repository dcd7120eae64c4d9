// Component creation, identifiers and user lookup shared by every module.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/object.h"
#include "platform/automation/variant.h"

namespace quorvan::shared {

// Creates a class by identifier, inside the caller's transaction context when there is one.
// Armed: a failure is reported with the source "Lib_General.GetComponent" and the info
// "CreateObject(ID) failed" (no context) or the CreateInstance text (in a context). While a
// failure is being handled it does no error handling of its own.
Variant GetComponent(std::string_view class_id);

// Transaction votes; without a context they do nothing. Failures propagate.
void AbortObjectContext();
void CompleteObjectContext();

std::string GetApplicationIdentifier();                  // "Tesmik - Ardwynet"
std::string GetSourcingAppIdentifier();                  // "Mordane Sourcing"
std::string GetFileStorageString(int32_t file_storage);  // EFileStorage -> folder name or ""
std::string GetObjectTypeString(int32_t document_type);  // EDocumentType -> name or ""

// The membership user bound to `user_id`, or null when the user cannot be bound (that failure
// is swallowed and the current error cleared). Failures before binding are reported with the
// source "QuorvanUtilities.GetUserObject". Always armed, also while another error is current.
ObjectPtr GetUserObject(const std::string& user_id);

// The site configuration file of application "Fennick" ("<ConfigDir>\siteConfiguration.xml")
// and the membership bind account and code read from it. Shared with the wrapper class that
// raises instead of returning no user.
struct MembershipBinding {
  std::string site_configuration_path;
  std::string bind_account;
  std::string bind_code;
};
MembershipBinding ReadMembershipBinding();

}  // namespace quorvan::shared
