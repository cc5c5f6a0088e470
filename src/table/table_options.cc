#include "table/table_options.h"

#include <getopt.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "balance/soil_results.h"
#include "recharge_version.h"

namespace recharge::table {

namespace {

constexpr std::string_view kHelpOptions =
    "Usage: recharge-table [options] [INPUT]\n"
    "Computes actual evapotranspiration and groundwater recharge for every row of a\n"
    "CSV table of soils. INPUT is a file, or - or nothing for standard input.\n"
    "\n"
    "  -o, --output FILE   write the table of results to FILE (default: standard output)\n"
    "  -j, --threads N     compute N rows at once, 1 to 256 (default: the CPUs available)\n"
    "      --decimal MARK  the decimal mark of the numbers, point or comma (default:\n"
    "                      a comma with ';' or tab between the fields, else a point)\n"
    "      --units UNIT    the unit of the climate and depth columns whose name gives\n"
    "                      none, as in P [mm] (default: cm)\n"
    "      --output-units UNIT  the length unit of Wmax, ETa and R (default: cm)\n"
    "  -q, --quiet         no progress or summary on standard error\n"
    "      --help          show this help\n"
    "      --version       show the version\n"
    "\n"
    "Input columns (cm unless stated): id, P, ETp, Ps, ETps, Cs, rain4..rain9,\n"
    "etp4..etp9, zr, zgw, class (1 to 34, or 0 with theta_r, theta_s, alpha in 1/cm,\n"
    "n, p1, p2), anaerobiosis (1 or 0). A name may give its unit: P [mm], zgw (m).\n";

constexpr std::string_view kHelpExit =
    "\n"
    "Exit status: 0 every row ok, 1 some rows not ok, 2 nothing computed.\n";

std::string HelpText() {
  std::string text(kHelpOptions);
  text += "Output columns: [id,]";
  for (const ResultColumn& column : ResultColumns()) {
    text += ' ';
    text += column.name;
    text += ',';
  }
  text += " status.\n";
  text += kHelpExit;
  return text;
}

constexpr const char* kVersion = "recharge-table " RECHARGE_VERSION "\n";

void Complain(const char* what, const char* argument) {
  std::fprintf(stderr, "recharge-table: %s%s\n", what, argument);
}

// A whole number from 1 to kMaxThreads that is all of `text`.
bool ParseThreads(const char* text, int& threads) {
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, threads);
  return error == std::errc() && stop == end && threads >= 1 && threads <= kMaxThreads;
}

bool ParseDecimal(const char* text, std::optional<DecimalMark>& decimal) {
  if (std::strcmp(text, "point") == 0) {
    decimal = DecimalMark::kPoint;
  } else if (std::strcmp(text, "comma") == 0) {
    decimal = DecimalMark::kComma;
  } else {
    return false;
  }
  return true;
}

}  // namespace

ParseResult ParseOptions(int argc, char** argv, Options& options) {
  enum { kHelpOption = 256, kVersionOption, kDecimalOption, kUnitsOption, kOutputUnitsOption };
  const option long_options[] = {{"output", required_argument, nullptr, 'o'},
                                 {"threads", required_argument, nullptr, 'j'},
                                 {"decimal", required_argument, nullptr, kDecimalOption},
                                 {"units", required_argument, nullptr, kUnitsOption},
                                 {"output-units", required_argument, nullptr, kOutputUnitsOption},
                                 {"quiet", no_argument, nullptr, 'q'},
                                 {"help", no_argument, nullptr, kHelpOption},
                                 {"version", no_argument, nullptr, kVersionOption},
                                 {nullptr, 0, nullptr, 0}};
  opterr = 0;  // the messages are our own
  optind = 1;
  for (int c; (c = getopt_long(argc, argv, ":o:j:q", long_options, nullptr)) != -1;) {
    switch (c) {
      case 'o':
        options.output = optarg;
        break;
      case 'j':
        if (!ParseThreads(optarg, options.threads)) {
          Complain("--threads takes a whole number from 1 to 256, not ", optarg);
          return ParseResult::kUsageError;
        }
        break;
      case kDecimalOption:
        if (!ParseDecimal(optarg, options.decimal)) {
          Complain("--decimal takes point or comma, not ", optarg);
          return ParseResult::kUsageError;
        }
        break;
      case kUnitsOption:
        options.units = optarg;
        break;
      case kOutputUnitsOption:
        options.output_units = optarg;
        break;
      case 'q':
        options.quiet = true;
        break;
      case kHelpOption:
        std::fputs(HelpText().c_str(), stdout);
        return ParseResult::kExit;
      case kVersionOption:
        std::fputs(kVersion, stdout);
        return ParseResult::kExit;
      case ':':
        Complain("missing value for ", argv[optind - 1]);
        return ParseResult::kUsageError;
      default:
        if (optopt != 0) {
          const char name[] = {'-', static_cast<char>(optopt), '\0'};
          Complain("unknown option ", name);
        } else {
          Complain("unknown option ", argv[optind - 1]);
        }
        return ParseResult::kUsageError;
    }
  }
  if (argc - optind > 1) {
    Complain("more than one input: ", argv[optind + 1]);
    return ParseResult::kUsageError;
  }
  if (optind < argc && std::strcmp(argv[optind], "-") != 0) options.input = argv[optind];
  return ParseResult::kRun;
}

}  // namespace recharge::table
