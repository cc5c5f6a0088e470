#include "table/table_program.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "balance/column_map.h"
#include "balance/column_units.h"
#include "runtime/available_cpus.h"
#include "runtime/worker_pool.h"
#include "table/csv_reader.h"
#include "table/output_file.h"
#include "table/progress.h"
#include "table/table_options.h"
#include "table/table_row.h"

namespace recharge::table {

namespace {

constexpr int kFailure = 2;

// Rows read, computed and written at a time: enough to keep the threads
// busy, few enough that memory stays small.
constexpr std::size_t kChunkRows = 256;
static_assert(kMaxThreads <= kChunkRows);

int Fail(const std::string& message) {
  std::fprintf(stderr, "recharge-table: %s\n", message.c_str());
  return kFailure;
}

// Quietly when the reader of the output has gone (OutputFile's empty error).
int OutputFailure(const std::string& error) { return error.empty() ? kFailure : Fail(error); }

// Rows by status, indexed by SoilStatus, and the statuses a table's rows can
// have, in the order its summary counts them.
using Counts = std::array<std::size_t, kSoilStatusCount>;
constexpr SoilStatus kCounted[] = {SoilStatus::kOk, SoilStatus::kNoConvergence, SoilStatus::kFault,
                                   SoilStatus::kInputError};

// The decimal mark of the table's numbers: as the command line says, or a
// comma where a semicolon or a tab separates the fields.
DecimalMark InputMark(const std::optional<DecimalMark>& option, Delimiter delimiter) {
  return option.value_or(delimiter == Delimiter::kComma ? DecimalMark::kPoint
                                                        : DecimalMark::kComma);
}

// A chunk also ends once its rows hold this many bytes, so that wide rows
// do not pile up; from chunk to chunk a row's buffers keep at most its share.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
constexpr std::size_t kRowShare = kChunkBytes / kChunkRows;

// The bytes the copy holds.
std::size_t CopyRecord(const Record& record, RawRow& row) {
  row.bytes.clear();
  row.ends.clear();
  for (std::string_view field : record.fields) {
    row.bytes.append(field);
    row.ends.push_back(row.bytes.size());
  }
  row.line = record.line;
  row.error.assign(record.error);
  row.id.assign(record.kept);
  return row.bytes.size() + row.ends.size() * sizeof(std::size_t) + row.id.size();
}

// One chunk of rows on its way through; its buffers are kept from chunk to
// chunk.
struct Chunk {
  // Gives back what rows wider than their share made the buffers take.
  void Trim() {
    for (std::size_t i = 0; i < size; ++i) {
      const RawRow& row = rows[i];
      if (row.bytes.capacity() + row.ends.capacity() * sizeof(std::size_t) + row.id.capacity() >
          kRowShare) {
        rows[i] = RawRow();
      }
      if (text[i].capacity() > kRowShare) text[i] = std::string();
    }
    if (out.capacity() > kChunkBytes) out = std::string();
  }

  std::vector<RawRow> rows{kChunkRows};
  std::vector<RowResult> results{kChunkRows};
  std::vector<std::string> text{kChunkRows};
  std::string out;  // the chunk's rows, written in one piece
  std::size_t size = 0;
};

class TableRun {
 public:
  TableRun(const Options& options, int input_fd, WorkerPool& pool)
      : options_(options), pool_(pool), reader_(input_fd), progress_(input_fd, !options.quiet) {}

  int Run() {
    std::string error;
    Record record;
    const ReadStatus status = reader_.Next(record);
    if (status == ReadStatus::kReadFailure) return ReadFailure();
    if (status == ReadStatus::kEnd) return Fail(InputName() + ": no header row");
    if (!record.error.empty()) return Fail(InputName() + ": header: " + std::string(record.error));
    std::string problem, notice;
    if (!MapColumns(record.fields, kHeaderWords, columns_, problem, notice)) {
      return Fail(InputName() + ": " + problem);
    }
    const UnitOptions units = {options_.units, options_.output_units, "--units", "--output-units"};
    if (!ResolveUnits(record.fields, columns_, units, InputName(), units_, problem)) {
      return Fail(problem);
    }
    // Even when quiet: a column that is not read may be one misspelt.
    if (!notice.empty()) std::fprintf(stderr, "recharge-table: %s\n", notice.c_str());
    delimiter_ = static_cast<char>(reader_.delimiter());
    mark_in_ = InputMark(options_.decimal, reader_.delimiter());
    // Written with commas only where a semicolon keeps them apart from the
    // fields.
    mark_out_ = reader_.delimiter() == Delimiter::kSemicolon ? mark_in_ : DecimalMark::kPoint;
    if (!output_.Open(options_.output, error)) return Fail(error);
    std::string header;
    AppendOutputHeader(columns_, units_, delimiter_, header);
    if (!output_.Write(header, error)) return OutputFailure(error);

    if (columns_.id != kAbsent) reader_.set_kept_field(columns_.id);
    for (bool more = true; more;) {
      chunk_.Trim();
      chunk_.size = 0;
      std::size_t held = 0;
      ReadStatus read = ReadStatus::kRecord;
      while (chunk_.size < kChunkRows && held < kChunkBytes &&
             (read = reader_.Next(record)) == ReadStatus::kRecord) {
        held += CopyRecord(record, chunk_.rows[chunk_.size++]);
      }
      if (read == ReadStatus::kReadFailure) return ReadFailure();
      more = read == ReadStatus::kRecord;
      Compute();
      chunk_.out.clear();
      for (std::size_t i = 0; i < chunk_.size; ++i) {
        ++counts_[static_cast<std::size_t>(chunk_.results[i].pass.status)];
        chunk_.out += chunk_.text[i];
      }
      if (!output_.Write(chunk_.out, error)) return OutputFailure(error);
      rows_ += chunk_.size;
      progress_.Update(rows_);
    }
    progress_.Finish();
    if (!output_.Commit(error)) return OutputFailure(error);
    if (!options_.quiet) Summary();
    return counts_[static_cast<std::size_t>(SoilStatus::kOk)] == rows_ ? 0 : 1;
  }

 private:
  std::string InputName() const {
    return options_.input.empty() ? "standard input" : options_.input;
  }

  int ReadFailure() {
    return Fail("cannot read " + InputName() + ": " + std::strerror(reader_.error_number()));
  }

  // Every row on its own: read, computed and laid out, in parallel.
  void Compute() {
    pool_.Run(chunk_.size, [this](std::size_t i) {
      chunk_.results[i] = ComputeRow(chunk_.rows[i], columns_, units_, mark_in_);
      chunk_.text[i].clear();
      AppendOutputRow(chunk_.rows[i], chunk_.results[i], columns_, units_, delimiter_, mark_out_,
                      chunk_.text[i]);
    });
  }

  void Summary() const {
    std::string line = "recharge-table: " + std::to_string(rows_) + " rows";
    for (const SoilStatus status : kCounted) {
      line += (status == kCounted[0] ? ": " : ", ") +
              std::to_string(counts_[static_cast<std::size_t>(status)]) + " " +
              std::string(NamesOf(status).counted);
    }
    std::fprintf(stderr, "%s\n", line.c_str());
  }

  const Options& options_;
  WorkerPool& pool_;
  CsvReader reader_;
  Progress progress_;
  OutputFile output_;
  ColumnMap columns_;
  ColumnUnits units_;
  char delimiter_ = ',';
  DecimalMark mark_in_ = DecimalMark::kPoint;
  DecimalMark mark_out_ = DecimalMark::kPoint;
  Chunk chunk_;
  std::size_t rows_ = 0;
  Counts counts_{};
};

}  // namespace

int RunTableProgram(int argc, char** argv) {
  Options options;
  switch (ParseOptions(argc, argv, options)) {
    case ParseResult::kRun:
      break;
    case ParseResult::kExit:
      return 0;
    case ParseResult::kUsageError:
      return kFailure;
  }
  int input_fd = STDIN_FILENO;
  if (!options.input.empty()) {
    input_fd = open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
    if (input_fd < 0) return Fail("cannot read " + options.input + ": " + std::strerror(errno));
  }
  // Started before the output is opened, so that a failure leaves no file.
  const int threads = options.threads > 0 ? options.threads : AvailableCpus();
  std::optional<WorkerPool> pool;
  try {
    pool.emplace(threads);
  } catch (const std::system_error& failure) {
    if (input_fd != STDIN_FILENO) close(input_fd);
    return Fail("cannot start " + std::to_string(threads) +
                " threads: " + failure.code().message());
  }
  const int status = TableRun(options, input_fd, *pool).Run();
  if (input_fd != STDIN_FILENO) close(input_fd);
  return status;
}

}  // namespace recharge::table
