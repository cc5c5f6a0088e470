// Whether a descriptor is a terminal: isatty(3), but under Emscripten (3.1.6)
// node's own answer, as its C library takes every standard stream for a
// terminal, a pipe or a file too.
//
//   recharge < answers.txt    -> IsTerminal(STDIN_FILENO) false, natively and under node
#pragma once

#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace recharge {

inline bool IsTerminal(int fd) {
#ifdef __EMSCRIPTEN__
  // The descriptor is arguments[0]: the usual $0 is no C++ identifier.
  return EM_ASM_INT({ return require('tty').isatty(arguments[0]); }, fd) == 1;
#else
  return isatty(fd) == 1;
#endif
}

}  // namespace recharge
