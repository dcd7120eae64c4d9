// Mail dispatch and composition: not built yet; the members exist so that the interface keeps
// its slots, and say so clearly when called.
#include "general/alerts/alert.h"
#include "platform/automation/error_record.h"
#include "shared/method_shape.h"

namespace quorvan::general {
namespace {

constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);

[[noreturn]] void RaiseNotImplemented(const char* member) {
  RaiseError(kNotImplemented, "QuorvanGeneral", std::string(member) + " is not implemented yet");
}

}  // namespace

void Alert::SendMailAlerts() {
  shared::MethodShape("QuorvanGeneral.Alert.SendMailAlerts").Run([] { RaiseNotImplemented("SendMailAlerts"); });
}

void Alert::SendMail(const std::string&, const std::string&, const std::string&, const std::string&, const Variant&) {
  shared::MethodShape("QuorvanGeneral.Alert.SendMail").Run([] { RaiseNotImplemented("SendMail"); });
}

std::string Alert::GetI18NText(const std::string&, int32_t) {
  return shared::MethodShape("QuorvanGeneral.Alert.GetI18NText").Run([]() -> std::string {
    RaiseNotImplemented("GetI18NText");
  });
}

}  // namespace quorvan::general
