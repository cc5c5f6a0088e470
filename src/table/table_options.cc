#include "table/table_options.h"

#include <getopt.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "balance/field_units.h"
#include "balance/soil_results.h"
#include "recharge_version.h"
#include "soil/soil_class_table.h"

namespace recharge::table {

namespace {

constexpr std::string_view kHelpUsage =
    "Usage: recharge-table [options] [INPUT]\n"
    "Computes actual evapotranspiration and groundwater recharge for every row of a\n"
    "CSV table of soils. INPUT is a file, or - or nothing for standard input.\n"
    "\n"
    "  -o, --output FILE   write the table of results to FILE (default: standard output)\n";

constexpr std::string_view kHelpOptions =
    "      --decimal MARK  the decimal mark of the numbers, point or comma (default:\n"
    "                      a comma with ';' or tab between the fields, else a point)\n"
    "      --units UNIT    the unit of the climate and depth columns whose name gives\n"
    "                      none, as in P [mm] (default: cm)\n"
    "      --output-units UNIT  the length unit of Wmax, ETa and R (default: cm)\n"
    "  -q, --quiet         no progress or summary on standard error\n"
    "      --help          show this help\n"
    "      --version       show the version\n"
    "\n";

constexpr std::string_view kHelpExit =
    "\n"
    "Exit status: 0 every row ok, 1 some rows not ok, 2 nothing computed.\n";

// "id, P [cm], ..., rain4..rain9 [cm], ..., anaerobiosis", from the fields and
// their model's units.
std::string InputColumns() {
  std::string text = "id";
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    const bool month = field >= InputField::kRain4 && field < InputField::kZr;
    if (month && (i - static_cast<int>(InputField::kRain4)) % kMonths != 0) continue;
    text += ", ";
    text += FieldName(field);
    if (month) text += ".." + std::string(FieldName(MonthField(field, kMonths - 1)));
    const std::string_view unit = ModelUnit(field);
    if (!unit.empty() && unit != "1") text += " [" + std::string(unit) + "]";
  }
  return text;
}

// Folds `text` into lines of at most 80 characters at its blanks.
std::string Folded(const std::string& text) {
  std::string out, line;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(' ', begin);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(begin, end - begin);
    if (!line.empty() && line.size() + 1 + word.size() > 80) {
      out += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    begin = end + 1;
  }
  return out + line + "\n";
}

std::string HelpText() {
  const std::string threads = std::to_string(kMaxThreads);
  std::string text(kHelpUsage);
  text += "  -j, --threads N     compute N rows at once, 1 to " + threads +
          " (default: the CPUs available)\n";
  text += kHelpOptions;
  std::string columns = "Input columns: " + InputColumns() + ".";
  columns += " A name may give its unit: P [mm], zgw (m). class is 1 to " +
             std::to_string(kSoilClassCount) +
             ", or 0 with the own parameters theta_r to p2; anaerobiosis is 1 or 0.";
  text += Folded(columns);
  std::string outputs = "Output columns: [id,]";
  for (const ResultColumn& column : ResultColumns()) {
    outputs += " ";
    outputs += column.name;
    outputs += ",";
  }
  text += Folded(outputs + " status.");
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
          Complain(
              ("--threads takes a whole number from 1 to " + std::to_string(kMaxThreads) + ", not ")
                  .c_str(),
              optarg);
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
