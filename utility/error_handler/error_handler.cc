#include "utility/error_handler/error_handler.h"

#include "platform/automation/class_builder.h"
#include "shared/error_handler.h"
#include "shared/general.h"
#include "shared/method_shape.h"

namespace quorvan::utility {
namespace {

constexpr int32_t kFirstOwnDistance = 1;
constexpr int32_t kLastOwnDistance = 9998;

// The distance from the base in 32-bit signed arithmetic; error 6 when it does not fit.
int32_t DistanceFromBase(int32_t error_number) {
  int32_t distance = 0;
  if (__builtin_sub_overflow(error_number, shared::GetErrorNumberBase(), &distance)) {
    RaiseRuntimeError(runtime_error::kOverflow);
  }
  return distance;
}

}  // namespace

const ClassInfo& ErrorHandler::Info() {
  static const ClassInfo info =
      ClassBuilder<ErrorHandler>("QuorvanUtility.ErrorHandler")
          .Method<&ErrorHandler::GetErrorLabelCode>("GetErrorLabelCode", {In("i_lErrorNumber")})
          .Method<&ErrorHandler::CheckIfTesmikError>("CheckIfTesmikError", {In("i_lErrorNumber")})
          .Method<&ErrorHandler::GetTesmikIdentifier>("GetTesmikIdentifier")
          .Build();
  return info;
}

std::string ErrorHandler::GetErrorLabelCode(int32_t i_lErrorNumber) {
  return shared::MethodShape("QuorvanUtility.ErrorHandler.GetErrorLabelCode").Run([&] {
    return "SLBCE" + GetPaddedLabelNumber(DistanceFromBase(i_lErrorNumber));
  });
}

bool ErrorHandler::CheckIfTesmikError(int32_t i_lErrorNumber) {
  return shared::MethodShape("QuorvanUtiltiy.ErrorHandler.CheckIfTesmikError").Run([&] {
    const int32_t distance = DistanceFromBase(i_lErrorNumber);
    return distance >= kFirstOwnDistance && distance <= kLastOwnDistance;
  });
}

std::string ErrorHandler::GetTesmikIdentifier() {
  return shared::MethodShape("QuorvanUtiltiy.ErrorHandler.GetTesmikIdentifier").Run([] {
    return shared::GetApplicationIdentifier();
  });
}

std::string ErrorHandler::GetPaddedLabelNumber(int32_t n) {
  return shared::MethodShape("QuorvanUtility.ErrorHandler.GetPaddedLabelNumber").Run([&] {
    std::string text = std::to_string(n);
    if (text.size() < 4) text.insert(0, 4 - text.size(), '0');
    return text;
  });
}

}  // namespace quorvan::utility
