// SafeArray: an array of Variants with one or two dimensions and any lower bounds, stored in
// row-major order (the first index varies slowest). Out-of-range indexes raise error 9.
// A value type: copying copies the elements. Not thread-safe.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/automation/variant.h"

namespace quorvan {

struct ArrayBounds {
  int32_t lower = 0;
  int32_t count = 0;  // number of elements; upper bound = lower + count - 1
  int32_t upper() const { return lower + count - 1; }
  bool operator==(const ArrayBounds&) const = default;
};

class SafeArray {
 public:
  SafeArray() = default;  // one dimension, lower bound 0, no elements (UBound -1)
  explicit SafeArray(std::vector<Variant> elements, int32_t lower_bound = 0);
  SafeArray(ArrayBounds first, ArrayBounds second);  // two dimensions, all Empty
  static SafeArray Of(std::initializer_list<Variant> elements);

  int dimensions() const { return static_cast<int>(bounds_.size()); }
  // Bounds of dimension 1 or 2; error 9 for another dimension.
  const ArrayBounds& bounds(int dimension = 1) const;
  int32_t LBound(int dimension = 1) const { return bounds(dimension).lower; }
  int32_t UBound(int dimension = 1) const { return bounds(dimension).upper(); }
  size_t size() const { return elements_.size(); }

  Variant& at(int32_t index);  // one-dimensional access by index
  const Variant& at(int32_t index) const;
  Variant& at(int32_t first, int32_t second);
  const Variant& at(int32_t first, int32_t second) const;

  // Elements in storage order, for iteration.
  const std::vector<Variant>& elements() const { return elements_; }

  // ReDim Preserve: changes the element count of the last dimension, keeping what fits.
  void RedimPreserve(int32_t new_upper);

  bool operator==(const SafeArray& other) const = default;

 private:
  size_t Offset(int32_t first, int32_t second) const;

  std::vector<ArrayBounds> bounds_{ArrayBounds{}};
  std::vector<Variant> elements_;
};

}  // namespace quorvan
