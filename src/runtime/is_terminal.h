// Whether a descriptor is a terminal: isatty(3), but under Emscripten (3.1.6),
// whose C library takes every standard stream for a terminal, a pipe or a
// file too, the answer of whoever runs the module: the descriptors listed in
// its `terminal` (the web page's runs), else node's own.
//
//   recharge < answers.txt    -> IsTerminal(STDIN_FILENO) false, natively and under node
//   a module run with terminal: [2] -> IsTerminal(2) true, IsTerminal(0) false
#pragma once

#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace recharge {

inline bool IsTerminal(int fd) {
#ifdef __EMSCRIPTEN__
  // The descriptor is arguments[0]: the usual $0 is no C++ identifier.
  return EM_ASM_INT(
             {
               if (Module['terminal']) return Module['terminal'].includes(arguments[0]);
               return typeof process == 'object' && require('tty').isatty(arguments[0]);
             },
             fd) == 1;
#else
  return isatty(fd) == 1;
#endif
}

}  // namespace recharge
