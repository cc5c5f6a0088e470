// std::bit_cast where the C++ library has it, else the compiler's builtin,
// which it is built on (Emscripten's libc++ lacks it).
//
//   BitCast<std::uint64_t>(1.0) -> 0x3ff0000000000000
#pragma once

#include <version>

#ifdef __cpp_lib_bit_cast
#include <bit>
#endif

namespace recharge {

template <class To, class From>
constexpr To BitCast(const From& from) noexcept {
#ifdef __cpp_lib_bit_cast
  return std::bit_cast<To>(from);
#else
  return __builtin_bit_cast(To, from);
#endif
}

}  // namespace recharge
