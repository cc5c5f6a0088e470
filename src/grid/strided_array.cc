#include "grid/strided_array.h"

#include <cstring>

namespace recharge::grid {

namespace {

template <typename T>
double Load(const char* element) {
  T value;
  std::memcpy(&value, element, sizeof value);  // numpy arrays need not be aligned
  return static_cast<double>(value);
}

}  // namespace

double StridedArray::At(std::span<const std::size_t> index) const {
  const char* element = data;
  for (std::size_t axis = 0; axis < index.size(); ++axis) {
    element += static_cast<std::ptrdiff_t>(index[axis]) * strides[axis];
  }
  switch (type) {
    case ElementType::kFloat64:
      return Load<double>(element);
    case ElementType::kFloat32:
      return Load<float>(element);
    case ElementType::kInt8:
      return Load<std::int8_t>(element);
    case ElementType::kInt16:
      return Load<std::int16_t>(element);
    case ElementType::kInt32:
      return Load<std::int32_t>(element);
    case ElementType::kInt64:
      return Load<std::int64_t>(element);
    case ElementType::kUInt8:
      return Load<std::uint8_t>(element);
    case ElementType::kUInt16:
      return Load<std::uint16_t>(element);
    case ElementType::kUInt32:
      return Load<std::uint32_t>(element);
    case ElementType::kUInt64:
      return Load<std::uint64_t>(element);
    case ElementType::kBool:
      return Load<std::uint8_t>(element) != 0 ? 1.0 : 0.0;
  }
  return 0.0;
}

GridIndex::GridIndex(std::span<const std::size_t> shape, std::size_t flat) : shape_(shape) {
  for (std::size_t axis = shape.size(); axis-- > 0;) {
    index_[axis] = flat % shape[axis];
    flat /= shape[axis];
  }
}

void GridIndex::Next() {
  for (std::size_t axis = shape_.size(); axis-- > 0;) {
    if (++index_[axis] < shape_[axis]) return;
    index_[axis] = 0;
  }
}

std::size_t CellCount(std::span<const std::size_t> shape) {
  std::size_t cells = 1;
  for (const std::size_t extent : shape) cells *= extent;
  return cells;
}

}  // namespace recharge::grid
