// MethodShape: the one shape every public method and shared procedure runs in.
//
//   return MethodShape("QuorvanUtility.ErrorHandler.GetErrorLabelCode").Run([&] { ... });
//
// 1. Entry: armed only when no failure is being handled on this thread (see IsHandlingError).
//    Unarmed, the work runs bare: its failures pass through untouched and it never clears or
//    replaces the current error. That keeps the first error alive through cleanup and logging.
// 2. The work returns the result. What it opened is released by RAII when it leaves, on
//    success and on failure alike; a transactional method then votes commit.
// 3. On failure (armed): the failure becomes the thread's current error (a runtime error with
//    no source is named after this module), a transactional method votes abort, and
//    HandleError lays the error out with this method's source and info, logs it and throws.
//
// `info` is computed only on failure. A MethodShape is a short-lived value on the stack.
#pragma once

#include <exception>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/automation/current_error.h"
#include "shared/error_handler.h"

namespace quorvan::shared {

class MethodShape {
 public:
  explicit MethodShape(std::string_view source) : source_(source) {}

  // The method casts commit and abort votes.
  MethodShape& Transactional() {
    transactional_ = true;
    return *this;
  }
  // Arms even while another error is current (and clears it on entry).
  MethodShape& AlwaysArmed() {
    always_armed_ = true;
    return *this;
  }
  // Detail for the error layout, computed on failure.
  MethodShape& Info(std::function<Variant()> info) {
    info_ = std::move(info);
    return *this;
  }

  template <class Work>
  std::invoke_result_t<Work> Run(Work&& work) {
    using Result = std::invoke_result_t<Work>;
    if (!Arm()) return work();
    try {
      if constexpr (std::is_void_v<Result>) {
        work();
        Complete();
      } else {
        Result result = work();
        Complete();
        return result;
      }
    } catch (...) {
      Fail(std::current_exception());
    }
    if constexpr (!std::is_void_v<Result>) return Result{};
  }

 private:
  bool Arm() const;
  void Complete() const;
  // Handles the failure; returns only when it carried error number 0.
  void Fail(std::exception_ptr failure) const;

  std::string_view source_;
  bool transactional_ = false;
  bool always_armed_ = false;
  std::function<Variant()> info_;
};

// The module's project name, the source of runtime errors raised inside it. Each module sets
// it once when it registers its classes.
void SetProjectName(std::string_view name);
const std::string& ProjectName();

}  // namespace quorvan::shared
