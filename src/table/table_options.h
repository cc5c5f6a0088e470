// The command line of recharge-table:
//   recharge-table [options] [INPUT]
// INPUT a file, or "-" or nothing for standard input.
//   -o, --output FILE   the table of results (default: standard output)
//   -j, --threads N     rows computed at once, 1 to kMaxThreads (default:
//                       the CPUs the process may use, available_cpus.h)
//   --decimal point|comma  the decimal mark of the table's numbers (default:
//                       a comma with ';' or tab, a point with ',')
//   --units UNIT        the unit of the climate and depth columns whose
//                       header names none (column_units.h)
//   --output-units UNIT the length unit of the results Wmax, ETa, R
//   -q, --quiet         no progress or summary on standard error
//   --help, --version
// "-j 0", "-j 257", "--decimal dot": one line on standard error, kUsageError.
#pragma once

#include <optional>
#include <string>

#include "runtime/available_cpus.h"
#include "table/cell_number.h"

namespace recharge::table {

// As many as the Python package allows; a chunk's rows (table_program.cc)
// keep them all busy.
inline constexpr int kMaxThreads = kMaxCpus;

struct Options {
  std::string input;                   // empty: standard input
  std::string output;                  // empty: standard output
  int threads = 0;                     // 0: the CPUs the process may use
  std::optional<DecimalMark> decimal;  // none: from the delimiter
  std::string units;                   // empty: the model's
  std::string output_units;            // empty: the model's
  bool quiet = false;
};

enum class ParseResult { kRun, kExit, kUsageError };

// kExit after --help or --version (printed on standard output); kUsageError
// after one line on standard error naming what is wrong.
ParseResult ParseOptions(int argc, char** argv, Options& options);

}  // namespace recharge::table
