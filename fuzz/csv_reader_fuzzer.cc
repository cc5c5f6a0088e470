// Fuzzes the CSV input of tables: the data is the table, read by the real
// CsvReader from a memfd. Every record must keep the reader's contract, and
// every cell goes through the number parsers, checked against the C++
// library, and back through AppendNumber. The good records, written again
// with the CSV writer under a header that pins the delimiter, must read back
// unchanged.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "table/cell_number.h"
#include "table/csv_reader.h"
#include "table/csv_writer.h"

namespace {

using recharge::table::CsvReader;
using recharge::table::Delimiter;
using recharge::table::ParseOutcome;
using recharge::table::ReadStatus;
using recharge::table::Record;

int input_fd = -1;
int output_fd = -1;

using Rows = std::vector<std::vector<std::string>>;

// Targets start as a value no parse can produce.
constexpr double kUntouchedReal = -std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kUntouchedInteger = 0x5eed5eed;

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

void Load(int fd, std::string_view bytes) {
  CHECK(ftruncate(fd, 0) == 0);
  CHECK(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
  CHECK(lseek(fd, 0, SEEK_SET) == 0);
}

void CheckReal(std::string_view cell, bool decimal_comma) {
  double value = kUntouchedReal;
  const ParseOutcome outcome = recharge::table::ParseNumber(cell, decimal_comma, value);
  CHECK((outcome == ParseOutcome::kEmpty) == cell.empty());
  CHECK(outcome == ParseOutcome::kOk ? std::isfinite(value) : Bits(value) == Bits(kUntouchedReal));
  if (cell.empty()) return;
  // Within these characters strtod, with ',' read as '.', is the reference:
  // it sees no blanks, "inf", "nan" or hexadecimal form there.
  if (cell.find_first_not_of(decimal_comma ? "+-0123456789.,eE" : "+-0123456789.eE") !=
      std::string_view::npos) {
    CHECK(outcome == ParseOutcome::kNotANumber);
    return;
  }
  std::string text(cell);
  std::replace(text.begin(), text.end(), ',', '.');
  char* end = nullptr;
  std::fenv_t traps;
  std::feholdexcept(&traps);
  const double reference = std::strtod(text.c_str(), &end);
  std::fesetenv(&traps);
  if (end != text.c_str() + text.size()) {
    CHECK(outcome == ParseOutcome::kNotANumber);
  } else if (std::isinf(reference)) {
    CHECK(outcome == ParseOutcome::kOutOfRange);
  } else {
    CHECK(outcome == ParseOutcome::kOk);
    CHECK(Bits(value) == Bits(reference));
    std::string out;
    recharge::table::AppendNumber(value, decimal_comma, out);
    CHECK(out.find(decimal_comma ? '.' : ',') == std::string::npos);
    double back = kUntouchedReal;
    CHECK(recharge::table::ParseNumber(out, decimal_comma, back) == ParseOutcome::kOk);
    CHECK(Bits(back) == Bits(value));
  }
}

void CheckInteger(std::string_view cell) {
  std::int32_t value = kUntouchedInteger;
  const ParseOutcome outcome = recharge::table::ParseInteger(cell, value);
  CHECK((outcome == ParseOutcome::kEmpty) == cell.empty());
  CHECK(outcome == ParseOutcome::kOk || value == kUntouchedInteger);
  if (cell.empty()) return;
  // from_chars is the reference, once a plus sign that it would not take is
  // dropped (but not from "+-", which neither takes).
  std::string_view digits = cell;
  if (digits[0] == '+' && !(digits.size() > 1 && digits[1] == '-')) digits.remove_prefix(1);
  std::int32_t expected = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), expected);
  if (ec == std::errc::invalid_argument || ptr != digits.data() + digits.size()) {
    CHECK(outcome == ParseOutcome::kNotANumber);
  } else if (ec == std::errc::result_out_of_range) {
    CHECK(outcome == ParseOutcome::kOutOfRange);
  } else {
    CHECK(ec == std::errc() && outcome == ParseOutcome::kOk && value == expected);
  }
}

// Reads the table on `fd`, checking each record against the reader's
// contract and the bytes it came from; returns the fields of the good ones.
Rows ReadTable(int fd, std::string_view input, Delimiter& delimiter) {
  const std::size_t line_ends = static_cast<std::size_t>(
      std::count_if(input.begin(), input.end(), [](char c) { return c == '\r' || c == '\n'; }));
  const bool has_nul = input.find('\0') != std::string_view::npos;
  const bool has_quote = input.find('"') != std::string_view::npos;
  CsvReader reader(fd);
  Record record;
  Rows good;
  std::size_t records = 0;
  std::size_t previous_line = 0;
  std::size_t field_bytes = 0;
  ReadStatus status;
  while ((status = reader.Next(record)) == ReadStatus::kRecord) {
    CHECK(++records <= line_ends + 1);
    CHECK(record.line > previous_line && record.line <= line_ends + 1);
    previous_line = record.line;
    if (!record.error.empty()) {
      CHECK(record.fields.empty());
      CHECK(record.error == "unterminated quote" || record.error == "NUL byte in the row" ||
            record.error == "characters after a closing quote" ||
            (record.error == "row longer than 1 MiB" &&
             input.size() > recharge::table::kRecordLimit));
      CHECK(has_nul || record.error != "NUL byte in the row");
      CHECK(has_quote || record.error == "NUL byte in the row" ||
            record.error == "row longer than 1 MiB");
      continue;
    }
    CHECK(!record.fields.empty());
    good.emplace_back();
    for (const std::string_view field : record.fields) {
      CHECK(field.find('\0') == std::string_view::npos);
      field_bytes += field.size();
      good.back().emplace_back(field);
    }
  }
  CHECK(status == ReadStatus::kEnd);
  CHECK(field_bytes <= input.size());
  delimiter = reader.delimiter();
  return good;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The program's traps, without its report: a trap shows as a SIGFPE crash.
  feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  input_fd = memfd_create("table", 0);
  output_fd = memfd_create("table-again", 0);
  CHECK(input_fd >= 0 && output_fd >= 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Load(input_fd, input);
  Delimiter delimiter = Delimiter::kComma;
  const Rows rows = ReadTable(input_fd, input, delimiter);
  if (input.find_first_of(",;\t") == std::string_view::npos) CHECK(delimiter == Delimiter::kComma);
  for (const auto& row : rows) {
    for (const std::string& cell : row) {
      CheckReal(cell, false);
      CheckReal(cell, true);
      CheckInteger(cell);
    }
  }

  // Written again under "h<d>h"; a record of one empty field would be an
  // empty line, which is no record, so it is left out.
  const char d = static_cast<char>(delimiter);
  std::string table = std::string("h") + d + "h";
  recharge::table::AppendRecordEnd(table);
  Rows written = {{"h", "h"}};
  for (const auto& row : rows) {
    if (row.size() == 1 && row[0].empty()) continue;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) table += d;
      recharge::table::AppendField(row[i], d, table);
    }
    recharge::table::AppendRecordEnd(table);
    written.push_back(row);
  }
  Load(output_fd, table);
  Delimiter delimiter_again = Delimiter::kComma;
  CHECK(ReadTable(output_fd, table, delimiter_again) == written);
  CHECK(delimiter_again == delimiter);
  return 0;
}
