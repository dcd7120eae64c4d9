#include "utility/string/string_builder.h"

#include <limits>

#include "platform/automation/class_builder.h"
#include "platform/automation/error_record.h"
#include "shared/method_shape.h"

namespace quorvan::utility {

StringBuilder::StringBuilder() { ClassInitialize(); }

const ClassInfo& StringBuilder::Info() {
  static const ClassInfo info = ClassBuilder<StringBuilder>("QuorvanUtility.String")
                                    .Get<&StringBuilder::Value>("Value")
                                    .Method<&StringBuilder::Add>("Add", {In("i_sValue")})
                                    .Method<&StringBuilder::Reset>("Reset")
                                    .Build();
  return info;
}

void StringBuilder::ClassInitialize() {
  shared::MethodShape("QuorvanUtility.String.Class_Intialize").Run([&] {
    piece_count_ = 0;
    growth_step_ = kGrowthStep;
    std::vector<std::string> fresh(static_cast<size_t>(kGrowthStep) + 1);
    slots_.swap(fresh);
  });
}

std::string StringBuilder::Value() const {
  return shared::MethodShape("QuorvanUtility.String.Value").Run([&] {
    size_t total = 0;
    for (int32_t i = 0; i < piece_count_; ++i) total += slots_[static_cast<size_t>(i)].size();
    std::string joined;
    joined.reserve(total);
    for (int32_t i = 0; i < piece_count_; ++i) joined += slots_[static_cast<size_t>(i)];
    return joined;
  });
}

void StringBuilder::Add(const std::string& i_sValue) {
  shared::MethodShape("QuorvanUtility.String.Add").Run([&] {
    if (piece_count_ == std::numeric_limits<int32_t>::max())
      RaiseRuntimeError(runtime_error::kOverflow);
    if (static_cast<size_t>(piece_count_) >= slots_.size()) {
      slots_.resize(slots_.size() + static_cast<size_t>(growth_step_));  // keeps the pieces
    }
    slots_[static_cast<size_t>(piece_count_)] = i_sValue;
    ++piece_count_;
  });
}

void StringBuilder::Reset() {
  shared::MethodShape("QuorvanUtility.String.Reset").Run([&] { ClassInitialize(); });
}

}  // namespace quorvan::utility
