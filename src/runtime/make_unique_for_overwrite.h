// std::make_unique_for_overwrite of an array where the C++ library has it,
// else the same allocation spelled out (Emscripten's libc++ lacks it): the
// elements are default-initialized, bytes left as they come.
//
//   MakeUniqueForOverwrite<char[]>(256) -> 256 bytes, not zeroed
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <version>

namespace recharge {

template <class T>
requires std::is_unbounded_array_v<T> std::unique_ptr<T> MakeUniqueForOverwrite(std::size_t size) {
#ifdef __cpp_lib_smart_ptr_for_overwrite
  return std::make_unique_for_overwrite<T>(size);
#else
  return std::unique_ptr<T>(new std::remove_extent_t<T>[size]);
#endif
}

}  // namespace recharge
