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
using recharge::table::DecimalMark;
using recharge::table::Delimiter;
using recharge::table::ParseOutcome;
using recharge::table::ReadStatus;
using recharge::table::Record;

int input_fd = -1;
int output_fd = -1;

using Rows = std::vector<std::vector<std::string>>;

// Targets start as a value no parse can produce.
constexpr double kUntouchedReal = -std::numeric_limits<double>::quiet_NaN();

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Written over the old contents and cut to size, so that the file keeps its
// pages from one input to the next.
void Load(int fd, std::string_view bytes) {
  CHECK(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
  CHECK(ftruncate(fd, static_cast<off_t>(bytes.size())) == 0);
  CHECK(lseek(fd, 0, SEEK_SET) == 0);
}

void CheckReal(std::string_view cell, DecimalMark mark) {
  double value = kUntouchedReal;
  const ParseOutcome outcome = recharge::table::ParseNumber(cell, mark, value);
  CHECK((outcome == ParseOutcome::kEmpty) == cell.empty());
  CHECK(outcome == ParseOutcome::kOk ? std::isfinite(value) : Bits(value) == Bits(kUntouchedReal));
  if (cell.empty()) return;
  // Within these characters strtod, with the mark read as '.', is the
  // reference: it sees no blanks, "inf", "nan" or hexadecimal form there.
  if (cell.find_first_not_of("+-0123456789.,eE") != std::string_view::npos) {
    CHECK(outcome == ParseOutcome::kNotANumber);
    return;
  }
  const char other = mark == DecimalMark::kComma ? '.' : ',';
  std::string text(cell);
  std::replace(text.begin(), text.end(), ',', '.');
  char* end = nullptr;
  const double reference = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) {
    CHECK(outcome == ParseOutcome::kNotANumber);
  } else if (cell.find(other) != std::string_view::npos) {
    CHECK(outcome == ParseOutcome::kOtherMark);
  } else if (std::isinf(reference)) {
    CHECK(outcome == ParseOutcome::kOutOfRange);
  } else {
    CHECK(outcome == ParseOutcome::kOk);
    CHECK(Bits(value) == Bits(reference));
    std::string out;
    recharge::table::AppendNumber(value, mark, out);
    CHECK(out.find(other) == std::string::npos);
    double back = kUntouchedReal;
    CHECK(recharge::table::ParseNumber(out, mark, back) == ParseOutcome::kOk);
    CHECK(Bits(back) == Bits(value));
    // Written in a unit a power of ten away, and read back from it.
    const int shift = static_cast<int>(cell.size() % 9) - 4;
    out.clear();
    recharge::table::AppendNumber(value, mark, out, shift);
    back = kUntouchedReal;
    CHECK(recharge::table::ParseNumber(out, mark, back, -shift) == ParseOutcome::kOk);
    CHECK(Bits(back) == Bits(value));
  }
}

// The physical lines of `input`, a UTF-8 byte-order mark dropped.
std::vector<std::string_view> Lines(std::string_view input) {
  if (input.starts_with("\xEF\xBB\xBF")) input.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!input.empty()) {
    const std::size_t end = std::min(input.find_first_of("\r\n"), input.size());
    lines.push_back(input.substr(0, end));
    const std::size_t next = input.substr(end).starts_with("\r\n") ? end + 2 : end + 1;
    input.remove_prefix(std::min(next, input.size()));
  }
  return lines;
}

// Input without quotes, as the reader's contract has it: the lines that are
// records, by their number from 1, and the first field of each.
struct PlainLine {
  std::size_t line;
  std::string_view first;
};
std::vector<PlainLine> PlainRecords(std::string_view input, Delimiter delimiter) {
  const char d = static_cast<char>(delimiter);
  const std::string_view blanks = d == '\t' ? " " : " \t";
  const std::string empty_after_header = " \t" + std::string(1, d);
  std::vector<PlainLine> records;
  const std::vector<std::string_view> lines = Lines(input);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Before the header any of the three delimiters leaves a line empty.
    const std::string_view empty = records.empty() ? std::string_view(" \t,;") : empty_after_header;
    if (lines[i].find_first_not_of(empty) == std::string_view::npos) continue;
    std::string_view first = lines[i].substr(0, lines[i].find(d));
    const std::size_t begin = first.find_first_not_of(blanks);
    first = begin == std::string_view::npos
                ? std::string_view()
                : first.substr(begin, first.find_last_not_of(blanks) + 1 - begin);
    records.push_back({i + 1, first});
  }
  return records;
}

// Reads the table on `fd`, checking each record against the reader's
// contract and the bytes it came from; returns the fields of the good ones.
// Field 0 is the kept field of malformed rows.
Rows ReadTable(int fd, std::string_view input, Delimiter& delimiter) {
  using recharge::table::kFieldLimit;
  using recharge::table::kRecordLimit;
  const std::size_t line_ends = static_cast<std::size_t>(
      std::count_if(input.begin(), input.end(), [](char c) { return c == '\r' || c == '\n'; }));
  const bool has_nul = input.find('\0') != std::string_view::npos;
  const bool has_quote = input.find('"') != std::string_view::npos;
  CsvReader reader(fd);
  Record record;
  Rows good;
  struct Seen {
    std::size_t line;
    std::string error;
    std::string kept;
  };
  std::vector<Seen> seen;  // every record
  std::size_t header_fields = 0;
  std::size_t field_bytes = 0;
  ReadStatus status;
  while ((status = reader.Next(record)) == ReadStatus::kRecord) {
    CHECK(seen.size() < line_ends + 1);
    CHECK(record.line <= line_ends + 1 && (seen.empty() || record.line > seen.back().line));
    seen.push_back({record.line, std::string(record.error), std::string(record.kept)});
    const std::string_view error = record.error;
    if (seen.size() == 1) {
      header_fields = record.fields.size();
      reader.set_kept_field(0);
    }
    if (!error.empty()) {
      CHECK(record.fields.empty());
      const std::string count = " fields where the header has " + std::to_string(header_fields);
      const bool quote_error =
          error == "unterminated quote" || error == "characters after a closing quote";
      const bool long_error = error == "row longer than 1 MiB";
      const bool header_error =
          error == "more than 16384 fields" ||
          (error.starts_with("the table is UTF-") && error.ends_with(" text; save it as UTF-8"));
      CHECK(quote_error || long_error || header_error || error == "NUL byte in the row" ||
            (error.ends_with(count) && std::stoul(std::string(error.substr(
                                           0, error.size() - count.size()))) > header_fields));
      CHECK(has_nul || error != "NUL byte in the row");
      CHECK(has_quote || !quote_error);
      CHECK(input.size() > kRecordLimit || !long_error);
      CHECK(seen.size() == 1 || !header_error);
      continue;
    }
    CHECK(record.kept.empty());
    CHECK(!record.fields.empty() && record.fields.size() <= kFieldLimit);
    CHECK(seen.size() == 1 || record.fields.size() <= header_fields);
    bool all_empty = true;
    for (const std::string_view field : record.fields) {
      CHECK(field.find('\0') == std::string_view::npos);
      field_bytes += field.size();
      all_empty = all_empty && field.empty();
    }
    CHECK(!all_empty);
    good.emplace_back(record.fields.begin(), record.fields.end());
  }
  CHECK(status == ReadStatus::kEnd);
  CHECK(field_bytes <= input.size());
  delimiter = reader.delimiter();
  // A malformed header is the last record. Without quotes every line is a
  // record or empty, and a malformed row keeps its first field.
  if (!seen.empty() && !seen[0].error.empty()) {
    CHECK(seen.size() == 1);
  } else if (!has_quote && input.size() <= kRecordLimit) {
    const std::vector<PlainLine> plain = PlainRecords(input, delimiter);
    CHECK(plain.size() == seen.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
      CHECK(seen[i].line == plain[i].line);
      CHECK(seen[i].kept == (seen[i].error.empty() ? std::string_view() : plain[i].first));
    }
  }
  return good;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
      CheckReal(cell, DecimalMark::kPoint);
      CheckReal(cell, DecimalMark::kComma);
    }
  }

  // Written again under a header of "h" as wide as the first (at least two,
  // to pin the delimiter).
  const char d = static_cast<char>(delimiter);
  const std::size_t width = std::max<std::size_t>(2, rows.empty() ? 0 : rows[0].size());
  const std::vector<std::string> header(width, "h");
  std::string table;
  const auto append_row = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) table += d;
      recharge::table::AppendField(row[i], d, table);
    }
    recharge::table::AppendRecordEnd(table);
  };
  append_row(header);
  for (const auto& row : rows) append_row(row);
  Load(output_fd, table);
  Delimiter delimiter_again = Delimiter::kComma;
  const Rows again = ReadTable(output_fd, table, delimiter_again);
  CHECK(again.size() == rows.size() + 1 && again[0] == header &&
        std::equal(rows.begin(), rows.end(), again.begin() + 1));
  CHECK(delimiter_again == delimiter);
  return 0;
}
