#include "table/csv_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/descriptor_io.h"
#include "runtime/make_unique_for_overwrite.h"

namespace recharge::table {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// The bytes of a record are never asked for beyond offset kRecordLimit, so
// once they are moved to the front a whole block fits behind them.
constexpr std::size_t kCapacity = kRecordLimit + kBlockSize;
// The buffer of a reader at first, doubled as the table needs it: small, so
// that a table of a few lines costs little and the short tables of the fuzz
// target go through the doubling too.
constexpr std::size_t kFirstCapacity = 256;

constexpr std::string_view kUnterminatedQuote = "unterminated quote";
constexpr std::string_view kNulByte = "NUL byte in the row";
constexpr std::string_view kTooLong = "row longer than 1 MiB";
constexpr std::string_view kAfterClosingQuote = "characters after a closing quote";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The encoding of text that starts as UTF-32 or UTF-16 does, by its
// byte-order mark or by the zero bytes of a first character below 128
// ("P" is 50 00 in UTF-16LE); empty for anything else.
std::string_view WideEncoding(const unsigned char* b, std::size_t size) {
  if (size >= 4) {
    if ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) ||
        (b[0] != 0 && b[1] == 0 && b[2] == 0 && b[3] == 0)) {
      return "UTF-32LE";
    }
    if ((b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) ||
        (b[0] == 0 && b[1] == 0 && b[2] == 0 && b[3] != 0)) {
      return "UTF-32BE";
    }
  }
  if (size >= 2) {
    if ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] != 0 && b[1] == 0)) return "UTF-16LE";
    if ((b[0] == 0xFE && b[1] == 0xFF) || (b[0] == 0 && b[1] != 0)) return "UTF-16BE";
  }
  return {};
}

// A quoted value with each "" made one quote, in place; its new size.
std::size_t Unquote(char* text, std::size_t size) {
  std::size_t kept = 0;
  for (std::size_t k = 0; k < size; ++k) {
    const char c = text[k];
    text[kept++] = c;
    if (c == '"') ++k;
  }
  return kept;
}

}  // namespace

void CsvReader::CloseFile::operator()(std::FILE* file) const { std::fclose(file); }

std::string FieldCountError(std::size_t fields, std::size_t header_fields) {
  return std::to_string(fields) + " fields where the header has " + std::to_string(header_fields);
}

std::string LineProblem(std::size_t line, std::string_view problem) {
  return "line " + std::to_string(line) + ": " + std::string(problem);
}

CsvReader::CsvReader(int fd)
    : fd_(fd), buffer_(MakeUniqueForOverwrite<char[]>(kFirstCapacity)), capacity_(kFirstCapacity) {}

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
  // The record in hand goes to the front once a block lies behind it or
  // less than a block after it, so that rows of ordinary length keep to the
  // first two blocks of the buffer: the memory in use is the same for a
  // table of any length.
  if (start_ > 0 && (capacity_ - end_ < kBlockSize || start_ >= kBlockSize)) {
    std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
  }
  // The buffer doubles up to kCapacity while less than a block is left and
  // reads take all the room they are given.
  if (capacity_ - end_ < kBlockSize && last_read_full_) {
    capacity_ = std::min(2 * capacity_, kCapacity);
    auto larger = MakeUniqueForOverwrite<char[]>(capacity_);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
  }
  char* const into = buffer_.get() + end_;
  const std::size_t room = std::min(kBlockSize, capacity_ - end_);
  const std::uint64_t spooled_end = spool_base_ + spool_size_;
  ssize_t got = 0;
  if (stream_end_ < spooled_end) {
    const std::uint64_t size = std::min<std::uint64_t>(room, spooled_end - stream_end_);
    got = pread(fileno(spool_.get()), into, size, static_cast<off_t>(stream_end_ - spool_base_));
  } else {
    got = ReadSome(fd_, into, room);
    if (got > 0 && spooling_) Spool(into, static_cast<std::size_t>(got));
  }
  if (got < 0) Failed();
  if (read_failed_) return;
  last_read_full_ = static_cast<std::size_t>(got) == room;
  end_ += static_cast<std::size_t>(got);
  stream_end_ += static_cast<std::uint64_t>(got);
  at_end_ = got == 0;
}

void CsvReader::Failed() {
  error_number_ = errno;
  read_failed_ = true;
}

// Appends `size` bytes that follow the spool's end in the input to it.
void CsvReader::Spool(const char* bytes, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = pwrite(fileno(spool_.get()), bytes + done, size - done,
                               static_cast<off_t>(spool_size_ + done));
    if (put <= 0) return Failed();
    done += static_cast<std::size_t>(put);
  }
  spool_size_ += size;
}

// The record in hand, with a quoted line end at `first_break`, is read on
// past the buffer: from its second line on, the input is kept in the spool
// too, to be read again should the record be cut to its first line.
void CsvReader::StartSpool(std::size_t first_break) {
  const std::size_t second_line = start_ + first_break + 1;
  resume_at_ = stream_end_ - (end_ - second_line);
  resume_after_cr_ = buffer_[second_line - 1] == '\r';
  spooling_ = true;
  if (stream_end_ < spool_base_ + spool_size_) return;  // read from the spool: it has them
  if (!spool_) spool_.reset(std::tmpfile());
  if (!spool_) return Failed();
  spool_base_ = resume_at_;
  spool_size_ = 0;
  Spool(buffer_.get() + second_line, end_ - second_line);
}

// Reads on from the second line of a record that starts on line `line`.
void CsvReader::ResumeAtSecondLine(std::size_t line) {
  start_ = end_ = 0;
  stream_end_ = resume_at_;
  at_end_ = false;
  lines_ = line;
  after_cr_ = resume_after_cr_;
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

// Picks the delimiter; the name of a wide encoding when the text is in one.
std::string_view CsvReader::FindHeader() {
  std::size_t size = 0;
  while (size < 4 && Have(size)) ++size;
  const std::string_view wide =
      WideEncoding(reinterpret_cast<const unsigned char*>(buffer_.get() + start_), size);
  if (!wide.empty()) return wide;
  if (size >= 3 && std::memcmp(buffer_.get() + start_, "\xEF\xBB\xBF", 3) == 0) start_ += 3;
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
      blank = blank && (c == ' ' || c == '\t' || c == ',' || c == ';');
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
    if (blank && i < kRecordLimit) {
      const bool line_end = Have(i);
      Consume(line_end ? i + 1 : i);
      if (line_end) continue;
      return {};  // nothing but empty lines
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) {
      delimiter_ = Delimiter::kTab;
    } else if (semicolons > 0 && semicolons >= commas) {
      delimiter_ = Delimiter::kSemicolon;
    }
    return {};
  }
}

// Scans the record at start_: its fields (spans_, at most FieldLimit()) and
// what is wrong with it. The bytes stay as they are, so that a record cut to
// its first line can be read again from the second; a record too long is
// read to its end through the buffer, its bytes dropped as it goes. False at
// the end of the input.
bool CsvReader::ScanRecord(Scan& scan) {
  enum class State { kFieldStart, kUnquoted, kQuoted, kQuote, kAfterQuote };
  const char delimiter = static_cast<char>(delimiter_);
  const bool tab_is_blank = delimiter_ != Delimiter::kTab;
  const std::size_t limit = FieldLimit();
  State state = State::kFieldStart;
  Span field{};
  bool value = false;  // the field has a character of its value
  spans_.clear();
  const auto end_field = [&](std::size_t at) {
    ++scan.fields;
    if (value) scan.values = scan.fields;
    if (!scan.too_long && spans_.size() < limit) {
      spans_.push_back(state == State::kFieldStart ? Span{at, at, false, false} : field);
    }
    state = State::kFieldStart;
    value = false;
  };
  for (std::size_t i = 0;; ++i) {
    if (i > kRecordLimit && !scan.too_long) {
      KeepBeforeSkipping(scan);
      if (scan.quoted_break) StartSpool(scan.first_break);
      scan.too_long = true;
    }
    if (scan.too_long && start_ + i == end_) {
      Consume(i);
      i = 0;
    }
    if (!Have(i)) {
      if (i == 0 && !scan.too_long) return false;
      scan.length = i;
      scan.quote_open = state == State::kQuoted;
      break;
    }
    const char c = buffer_[start_ + i];
    scan.nul = scan.nul || c == '\0';
    if (state == State::kQuoted) {
      if (c == '"') {
        field.end = i;
        state = State::kQuote;
        continue;
      }
      value = true;
      if (IsLineEnd(c) && !scan.quoted_break && !scan.too_long) {
        scan.quoted_break = true;
        scan.first_break = i;
      }
      continue;
    }
    if (state == State::kQuote) {
      if (c == '"') {
        field.doubled_quotes = true;
        value = true;
        state = State::kQuoted;
        continue;
      }
      state = State::kAfterQuote;
    }
    if (IsLineEnd(c)) {
      scan.length = i + 1;
      break;
    }
    if (c == delimiter) {
      end_field(i);
    } else if (c == ' ' || (c == '\t' && tab_is_blank)) {
      continue;
    } else if (state == State::kFieldStart) {
      field = Span{c == '"' ? i + 1 : i, i + 1, false, false};
      state = c == '"' ? State::kQuoted : State::kUnquoted;
      value = c != '"';
    } else if (state == State::kUnquoted) {
      field.end = i + 1;
    } else {
      field.after_quote = true;
      scan.after_quote = true;
      value = true;
    }
  }
  end_field(scan.length);
  return true;
}

// A record is about to be read on past the buffer: its kept field, if read
// whole by now, is copied out of the way.
void CsvReader::KeepBeforeSkipping(const Scan& scan) {
  kept_.clear();
  if (kept_field_ >= spans_.size() || spans_[kept_field_].after_quote) return;
  const Span& span = spans_[kept_field_];
  kept_on_first_line_ = !scan.quoted_break || span.end <= scan.first_break;
  kept_.assign(buffer_.get() + start_ + span.begin, span.end - span.begin);
  if (span.doubled_quotes) kept_.resize(Unquote(kept_.data(), kept_.size()));
}

// The kept field of a malformed record at `record` whose bytes have been
// consumed, when it was read whole before byte `before`.
std::string_view CsvReader::Kept(char* record, std::size_t before) {
  if (kept_field_ >= spans_.size()) return {};
  const Span& span = spans_[kept_field_];
  if (span.after_quote || span.end > before) return {};
  char* const text = record + span.begin;
  const std::size_t size = span.end - span.begin;
  return std::string_view(text, span.doubled_quotes ? Unquote(text, size) : size);
}

void CsvReader::TakeFields(std::size_t length, std::vector<std::string_view>& fields) {
  char* const record = buffer_.get() + start_;
  Consume(length);  // while the line ends in quoted fields are still in place
  for (const Span& span : spans_) {
    char* const text = record + span.begin;
    const std::size_t size = span.end - span.begin;
    fields.emplace_back(text, span.doubled_quotes ? Unquote(text, size) : size);
  }
}

ReadStatus CsvReader::Next(Record& record) {
  record.fields.clear();
  record.error = {};
  record.kept = {};
  if (stopped_) return ReadStatus::kEnd;
  // A long copy of a kept field is given back once it has been read.
  if (kept_.capacity() > kBlockSize) kept_ = std::string();
  if (!header_found_) {
    header_found_ = true;
    const std::string_view wide = FindHeader();
    if (read_failed_) return ReadStatus::kReadFailure;
    if (!wide.empty()) {
      stopped_ = true;
      error_.assign("the table is ").append(wide).append(" text; save it as UTF-8");
      record.line = 1;
      record.error = error_;
      return ReadStatus::kRecord;
    }
  }
  for (;;) {
    record.line = lines_ + 1;
    Scan scan;
    const bool found = ScanRecord(scan);
    if (read_failed_) return ReadStatus::kReadFailure;
    if (!found) return ReadStatus::kEnd;
    const std::size_t limit = FieldLimit();
    const bool malformed = scan.quote_open || scan.after_quote || scan.values > limit;
    char* const bytes = buffer_.get() + start_;
    if (scan.too_long) {
      Consume(scan.length);
      spooling_ = false;
      if (scan.values == 0 && !scan.quote_open) continue;
      if (malformed && scan.quoted_break) {
        ResumeAtSecondLine(record.line);
        record.error = kUnterminatedQuote;
        if (kept_on_first_line_) record.kept = kept_;
      } else {
        record.error = scan.quote_open ? kUnterminatedQuote : kTooLong;
        record.kept = kept_;
      }
    } else if (malformed && scan.quoted_break) {
      Consume(scan.first_break + 1);
      record.error = kUnterminatedQuote;
      record.kept = Kept(bytes, scan.first_break);
    } else if (malformed || scan.nul) {
      Consume(scan.length);
      if (scan.quote_open) {
        record.error = kUnterminatedQuote;
      } else if (scan.nul) {
        record.error = kNulByte;
      } else if (scan.after_quote) {
        record.error = kAfterClosingQuote;
      } else if (header_fields_ == 0) {
        error_.assign("more than ").append(std::to_string(kFieldLimit)).append(" fields");
        record.error = error_;
      } else {
        error_ = FieldCountError(scan.values, header_fields_);
        record.error = error_;
      }
      record.kept = Kept(bytes, scan.length);
    } else if (scan.values == 0) {
      Consume(scan.length);
      continue;
    } else {
      TakeFields(scan.length, record.fields);
      if (header_fields_ == 0) header_fields_ = record.fields.size();
      return ReadStatus::kRecord;
    }
    stopped_ = header_fields_ == 0;
    return ReadStatus::kRecord;
  }
}

}  // namespace recharge::table
