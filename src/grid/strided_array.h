// A read-only view of the elements of an array whose memory belongs to the
// caller (a numpy array, an R vector: data pointer, element type, strides in
// bytes), read one element at a time as a double. A stride of 0 repeats the
// element along its axis, so that an argument broadcast to the grid is read
// in place.
//
//   int32 {3, 4} with strides {0, 4}, at index {1, 2} -> the element at byte
//   8 of `data`, 4.0 when it holds 4
//
// Every type converts exactly as numpy converts it to float64: the floats
// and the integers up to 2^53 exactly, larger integers to the nearest double,
// a bool to 0 or 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace recharge::grid {

// The most axes a grid may have (numpy's own limit).
inline constexpr std::size_t kMaxAxes = 32;

enum class ElementType : std::uint8_t {
  kFloat64,
  kFloat32,
  kInt8,
  kInt16,
  kInt32,
  kInt64,
  kUInt8,
  kUInt16,
  kUInt32,
  kUInt64,
  kBool,
};

struct StridedArray {
  const char* data = nullptr;
  ElementType type = ElementType::kFloat64;
  std::vector<std::ptrdiff_t> strides;  // bytes, one for each axis of the grid

  double At(std::span<const std::size_t> index) const;
};

// The multi-index of a grid's cell, stepped through the cells in C order
// (the last axis fastest); allocates nothing.
class GridIndex {
 public:
  // At the cell `flat` of a grid of `shape`, of at most kMaxAxes axes and
  // more than `flat` cells.
  GridIndex(std::span<const std::size_t> shape, std::size_t flat);

  void Next();
  std::span<const std::size_t> index() const { return {index_.data(), shape_.size()}; }

 private:
  std::span<const std::size_t> shape_;
  std::array<std::size_t, kMaxAxes> index_{};
};

// The number of cells of a grid of `shape`: 1 for a grid of no axes.
std::size_t CellCount(std::span<const std::size_t> shape);

}  // namespace recharge::grid
