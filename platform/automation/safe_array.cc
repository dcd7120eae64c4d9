#include "platform/automation/safe_array.h"

#include <utility>

#include "platform/automation/error_record.h"

namespace quorvan {
namespace {

int32_t CheckedCount(size_t count) {
  if (count > static_cast<size_t>(INT32_MAX)) RaiseRuntimeError(runtime_error::kOverflow);
  return static_cast<int32_t>(count);
}

size_t IndexWithin(const ArrayBounds& bounds, int32_t index) {
  const int64_t offset = static_cast<int64_t>(index) - bounds.lower;
  if (offset < 0 || offset >= bounds.count) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  return static_cast<size_t>(offset);
}

}  // namespace

SafeArray::SafeArray(std::vector<Variant> elements, int32_t lower_bound)
    : bounds_{ArrayBounds{lower_bound, CheckedCount(elements.size())}},
      elements_(std::move(elements)) {}

SafeArray::SafeArray(ArrayBounds first, ArrayBounds second) : bounds_{first, second} {
  if (first.count < 0 || second.count < 0) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  elements_.resize(static_cast<size_t>(first.count) * static_cast<size_t>(second.count));
}

SafeArray SafeArray::Of(std::initializer_list<Variant> elements) {
  return SafeArray(std::vector<Variant>(elements));
}

const ArrayBounds& SafeArray::bounds(int dimension) const {
  if (dimension < 1 || dimension > dimensions()) {
    RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  }
  return bounds_[static_cast<size_t>(dimension - 1)];
}

size_t SafeArray::Offset(int32_t first, int32_t second) const {
  if (dimensions() != 2) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  return IndexWithin(bounds_[0], first) * static_cast<size_t>(bounds_[1].count) +
         IndexWithin(bounds_[1], second);
}

Variant& SafeArray::at(int32_t index) {
  if (dimensions() != 1) RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  return elements_[IndexWithin(bounds_[0], index)];
}

const Variant& SafeArray::at(int32_t index) const {
  return const_cast<SafeArray*>(this)->at(index);
}

Variant& SafeArray::at(int32_t first, int32_t second) { return elements_[Offset(first, second)]; }

const Variant& SafeArray::at(int32_t first, int32_t second) const {
  return elements_[Offset(first, second)];
}

void SafeArray::RedimPreserve(int32_t new_upper) {
  ArrayBounds& last = bounds_.back();
  const int64_t new_count = static_cast<int64_t>(new_upper) - last.lower + 1;
  if (new_count < 0 || new_count > INT32_MAX) {
    RaiseRuntimeError(runtime_error::kSubscriptOutOfRange);
  }
  if (dimensions() == 1) {
    elements_.resize(static_cast<size_t>(new_count));
  } else {
    const auto rows = static_cast<size_t>(bounds_[0].count);
    const auto old_columns = static_cast<size_t>(last.count);
    const auto new_columns = static_cast<size_t>(new_count);
    std::vector<Variant> resized(rows * new_columns);
    for (size_t row = 0; row < rows; ++row) {
      for (size_t column = 0; column < std::min(old_columns, new_columns); ++column) {
        resized[row * new_columns + column] = std::move(elements_[row * old_columns + column]);
      }
    }
    elements_ = std::move(resized);
  }
  last.count = static_cast<int32_t>(new_count);
}

}  // namespace quorvan
