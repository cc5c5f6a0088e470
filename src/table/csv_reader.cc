#include "table/csv_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/descriptor_io.h"

namespace recharge::table {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// The bytes of a record are never asked for beyond offset kRecordLimit, so
// once they are moved to the front a whole block fits behind them.
constexpr std::size_t kCapacity = kRecordLimit + kBlockSize;

constexpr std::string_view kUnterminatedQuote = "unterminated quote";
constexpr std::string_view kNulByte = "NUL byte in the row";
constexpr std::string_view kTooLong = "row longer than 1 MiB";
constexpr std::string_view kAfterClosingQuote = "characters after a closing quote";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

CsvReader::CsvReader(int fd)
    : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

// True when byte `offset` of the current record is in the buffer, false at
// the end of the input or after a failed read.
bool CsvReader::Have(std::size_t offset) {
  while (start_ + offset >= end_) {
    if (at_end_ || read_failed_) return false;
    Fill();
  }
  return true;
}

void CsvReader::Fill() {
  // The record in hand goes to the front once a block lies behind it, so
  // that rows of ordinary length keep to the first two blocks of the buffer:
  // the memory in use is the same for a table of any length.
  if (kCapacity - end_ < kBlockSize || start_ >= kBlockSize) {
    std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
  }
  const ssize_t got = ReadSome(fd_, buffer_.get() + end_, kBlockSize);
  if (got < 0) {
    error_number_ = errno;
    read_failed_ = true;
    return;
  }
  end_ += static_cast<std::size_t>(got);
  at_end_ = got == 0;
}

// Drops `count` bytes of the current record, counting the line ends in them:
// each CR, and each LF that does not follow a CR.
void CsvReader::Consume(std::size_t count) {
  for (const char c : std::string_view(buffer_.get() + start_, count)) {
    if (c == '\r' || (c == '\n' && !after_cr_)) ++lines_;
    after_cr_ = c == '\r';
  }
  start_ += count;
}

// Up to and including the next CR or LF, without keeping the bytes.
void CsvReader::SkipRestOfLine() {
  while (Have(0)) {
    const char* const first = buffer_.get() + start_;
    const char* const last = buffer_.get() + end_;
    const char* const line_end = std::find_if(first, last, IsLineEnd);
    if (line_end != last) {
      Consume(static_cast<std::size_t>(line_end - first) + 1);
      return;
    }
    Consume(static_cast<std::size_t>(last - first));
  }
}

void CsvReader::FindHeader() {
  if (Have(2) && std::memcmp(buffer_.get() + start_, "\xEF\xBB\xBF", 3) == 0) start_ += 3;
  for (;;) {
    // A quote opens a quoted name at the start of the line or after any of
    // the three delimiters (and blanks): the header cannot tell yet which
    // of them separates its fields.
    enum class State { kFieldStart, kPlain, kQuoted, kQuote } state = State::kFieldStart;
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool blank = true;
    std::size_t i = 0;
    for (; i < kRecordLimit && Have(i); ++i) {
      const char c = buffer_[start_ + i];
      if (IsLineEnd(c)) break;
      blank = blank && (c == ' ' || c == '\t');
      if (state == State::kQuoted) {
        if (c == '"') state = State::kQuote;
        continue;
      }
      if (state == State::kQuote) {
        if (c == '"') {
          state = State::kQuoted;
          continue;
        }
        state = State::kPlain;
      }
      if (c == ',' || c == ';' || c == '\t') {
        ++(c == ',' ? commas : c == ';' ? semicolons : tabs);
        state = State::kFieldStart;
      } else if (c == '"') {
        state = state == State::kFieldStart ? State::kQuoted : State::kPlain;
      } else if (c != ' ') {
        state = State::kPlain;
      }
    }
    if (blank && i < kRecordLimit && Have(i)) {
      Consume(i + 1);
      continue;
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) {
      delimiter_ = Delimiter::kTab;
    } else if (semicolons > 0 && semicolons >= commas) {
      delimiter_ = Delimiter::kSemicolon;
    }
    return;
  }
}

// Finds the fields of the record at start_ (spans_) and its length, line end
// included. The bytes stay as they are, so that a record with an unterminated
// quote can be cut back and read again.
CsvReader::Scan CsvReader::ScanRecord(std::size_t& length, std::string_view& error) {
  enum class State { kFieldStart, kUnquoted, kQuoted, kQuote, kAfterQuote };
  const char delimiter = static_cast<char>(delimiter_);
  const bool tab_is_blank = delimiter_ != Delimiter::kTab;
  State state = State::kFieldStart;
  Span field{};
  bool nul = false;
  bool after_quote = false;
  spans_.clear();
  std::size_t i = 0;
  for (;; ++i) {
    if (i > kRecordLimit) {
      length = i;
      const bool quoted = state == State::kQuoted || state == State::kQuote;
      return quoted ? Scan::kUnterminatedQuote : Scan::kTooLong;
    }
    if (!Have(i)) {
      if (i == 0) return Scan::kEnd;
      length = i;
      if (state == State::kQuoted) return Scan::kUnterminatedQuote;
      break;
    }
    const char c = buffer_[start_ + i];
    nul = nul || c == '\0';
    if (state == State::kQuoted) {
      if (c == '"') {
        field.end = i;
        state = State::kQuote;
      }
      continue;
    }
    if (state == State::kQuote) {
      if (c == '"') {
        field.doubled_quotes = true;
        state = State::kQuoted;
        continue;
      }
      state = State::kAfterQuote;
    }
    if (IsLineEnd(c)) {
      length = i + 1;
      break;
    }
    if (c == delimiter) {
      spans_.push_back(state == State::kFieldStart ? Span{i, i, false} : field);
      state = State::kFieldStart;
    } else if (c == ' ' || (c == '\t' && tab_is_blank)) {
      continue;
    } else if (state == State::kFieldStart) {
      field = c == '"' ? Span{i + 1, i + 1, false} : Span{i, i + 1, false};
      state = c == '"' ? State::kQuoted : State::kUnquoted;
    } else if (state == State::kUnquoted) {
      field.end = i + 1;
    } else {
      after_quote = true;
    }
  }
  if (state == State::kFieldStart && spans_.empty()) return Scan::kEmptyLine;
  spans_.push_back(state == State::kFieldStart ? Span{i, i, false} : field);
  if (nul) {
    error = kNulByte;
  } else if (after_quote) {
    error = kAfterClosingQuote;
  }
  return Scan::kRecord;
}

void CsvReader::TakeFields(std::size_t length, std::vector<std::string_view>& fields) {
  char* const record = buffer_.get() + start_;
  Consume(length);  // while the line ends in quoted fields are still in place
  for (const Span& span : spans_) {
    char* const text = record + span.begin;
    std::size_t size = span.end - span.begin;
    if (span.doubled_quotes) {
      std::size_t kept = 0;
      for (std::size_t k = 0; k < size; ++k) {
        const char c = text[k];
        text[kept++] = c;
        if (c == '"') ++k;
      }
      size = kept;
    }
    fields.emplace_back(text, size);
  }
}

ReadStatus CsvReader::Next(Record& record) {
  if (!header_found_) {
    FindHeader();
    header_found_ = true;
  }
  for (;;) {
    record.fields.clear();
    record.error = {};
    record.line = lines_ + 1;
    std::size_t length = 0;
    const Scan scan = ScanRecord(length, record.error);
    if (read_failed_) return ReadStatus::kReadFailure;
    switch (scan) {
      case Scan::kEnd:
        return ReadStatus::kEnd;
      case Scan::kEmptyLine:
        Consume(length);
        continue;
      case Scan::kRecord:
        if (record.error.empty()) {
          TakeFields(length, record.fields);
        } else {
          Consume(length);
        }
        return ReadStatus::kRecord;
      case Scan::kUnterminatedQuote: {
        record.error = kUnterminatedQuote;
        const char* const first = buffer_.get() + start_;
        const char* const line_end = std::find_if(first, first + length, IsLineEnd);
        if (line_end != first + length) {
          Consume(static_cast<std::size_t>(line_end - first) + 1);
        } else {
          Consume(length);
          SkipRestOfLine();
        }
        break;
      }
      case Scan::kTooLong:
        record.error = kTooLong;
        Consume(length);
        SkipRestOfLine();
        break;
    }
    return read_failed_ ? ReadStatus::kReadFailure : ReadStatus::kRecord;
  }
}

}  // namespace recharge::table
