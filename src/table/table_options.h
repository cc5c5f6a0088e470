// The command line of recharge-table:
//   recharge-table [options] [INPUT]
// INPUT a file, or "-" or nothing for standard input.
//   -o, --output FILE   the table of results (default: standard output)
//   -j, --threads N     rows computed at once (default: every core)
//   -q, --quiet         no notice, progress or summary on standard error
//   --help, --version
#pragma once

#include <string>

namespace recharge::table {

struct Options {
  std::string input;   // empty: standard input
  std::string output;  // empty: standard output
  int threads = 0;     // 0: every core
  bool quiet = false;
};

enum class ParseResult { kRun, kExit, kUsageError };

// kExit after --help or --version (printed on standard output); kUsageError
// after one line on standard error naming what is wrong.
ParseResult ParseOptions(int argc, char** argv, Options& options);

}  // namespace recharge::table
