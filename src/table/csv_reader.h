// CSV input of a table, one record at a time from a file descriptor, so that
// a table of any length is read in bounded memory: at most kRecordLimit bytes
// of a record, one read block and the spans of at most the header's fields.
// A record with a quoted line end that runs past kRecordLimit is read on to
// its end while the input from its second line on is kept in a temporary
// file, to be read from there should the record be cut to its first line.
//
// Text in UTF-16 or UTF-32 (a byte-order mark, or the zero bytes of its first
// character) is refused at once: the header comes back with an error naming
// the encoding. A UTF-8 byte-order mark at the very start is skipped, and so
// are lines of only blanks, tabs, commas and semicolons before the header.
// The first record that is not empty is the header. The first line of the
// header picks the delimiter: the comma, semicolon or tab that occurs most
// often in it outside quotes (ties go to the tab, then the semicolon), the
// comma when none occurs. The header has at most kFieldLimit fields.
//
// Fields are separated by the delimiter; a record ends at LF, CR LF or a lone
// CR. A field whose first character after blanks is a quote is quoted up to
// the closing quote: "" in it stands for one quote, and the delimiter, CR and
// LF are part of it. A quote anywhere else is an ordinary character. Blanks
// around a value are dropped, blanks inside quotes are kept; tabs count as
// blanks unless they are the delimiter. A record whose fields are all empty
// (a line of blanks and delimiters) is no record. Empty fields beyond the
// header's count are dropped.
//
// A malformed record comes back as one record with an error and no fields,
// and reading goes on after it:
//   "unterminated quote"     a quote that no quote closes; or a record with a
//                            quoted line end that is malformed in any way
//                            below but its NUL bytes or its length. Such a
//                            record is its first line only: the next line is
//                            read anew.
//   "row longer than 1 MiB"  more than kRecordLimit bytes, line end excluded:
//                            read on to its true end, quotes and all, without
//                            being kept
//   "NUL byte in the row"    a byte 0 anywhere in the record
//   "characters after a closing quote"  other than blanks, before the delimiter
//   "9 fields where the header has 8"   a field beyond the header's not empty
//   "more than 16384 fields"  the header
// A malformed header is the last record. In a malformed row, Record::kept is
// the field set_kept_field names, when it was read whole before the fault (on
// the first line, for a record cut to it).
//
//   name ; P ;note      line 1, the header (';' twice): {name, P, note}
//   Ss;"60,5"; a "b"    line 2: {Ss, 60,5, a "b"}
//    ; ;                line 3: all empty, no record
//   Lu;61;"x";"y"z      line 4: characters after a closing quote, kept Lu
//   Ut2;"62;x           line 5: unterminated quote, kept Ut2 (its quote would
//   Tt;"63";"a";        line 6: {Tt, 63, a}      close before 63, 63" after it)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace recharge::table {

// The longest record, line end excluded.
inline constexpr std::size_t kRecordLimit = std::size_t{1} << 20;
// The most fields of a header.
inline constexpr std::size_t kFieldLimit = 16384;

enum class Delimiter : char { kComma = ',', kSemicolon = ';', kTab = '\t' };

// With a semicolon or a tab between the fields a comma can be a decimal mark.
constexpr bool AllowsDecimalComma(Delimiter delimiter) { return delimiter != Delimiter::kComma; }

struct Record {
  std::vector<std::string_view> fields;  // valid until the next read
  std::size_t line = 0;                  // the physical line it starts on, from 1
  std::string_view error;                // empty, or why the record is malformed
  std::string_view kept;                 // a malformed record: its kept field, if read
};

enum class ReadStatus { kRecord, kEnd, kReadFailure };

// "9 fields where the header has 8": a row of too many fields or too few.
std::string FieldCountError(std::size_t fields, std::size_t header_fields);

// A row's problem named by the line the row starts on, as a table's status
// says it: 17, zr: "6o" is not a number -> line 17: zr: "6o" is not a number
std::string LineProblem(std::size_t line, std::string_view problem);

class CsvReader {
 public:
  explicit CsvReader(int fd);

  // kRecord with the header first, then each row; kReadFailure when read(2)
  // or poll(2) failed, with its errno in error_number().
  ReadStatus Next(Record& record);

  // The field, counted from 0, that malformed rows give back in Record::kept
  // (the id of a table, once its header is mapped).
  void set_kept_field(std::size_t index) { kept_field_ = index; }

  // Known once the header has been read.
  Delimiter delimiter() const { return delimiter_; }
  int error_number() const { return error_number_; }

 private:
  // A field value, in bytes from the start of the record.
  struct Span {
    std::size_t begin;
    std::size_t end;
    bool doubled_quotes;
    bool after_quote;  // characters follow its closing quote
  };

  // What one scan of a record found.
  struct Scan {
    std::size_t length = 0;       // bytes left in the buffer, line end included
    std::size_t fields = 0;       // every field
    std::size_t values = 0;       // the fields up to the last one not empty
    std::size_t first_break = 0;  // the first line end inside quotes, if any
    bool quoted_break = false;
    bool quote_open = false;  // the input ended inside quotes
    bool nul = false;
    bool after_quote = false;
    bool too_long = false;
  };

  struct CloseFile {
    void operator()(std::FILE* file) const;
  };

  bool Have(std::size_t offset);
  void Fill();
  void Failed();
  void Spool(const char* bytes, std::size_t size);
  void StartSpool(std::size_t first_break);
  void ResumeAtSecondLine(std::size_t line);
  void Consume(std::size_t count);
  std::string_view FindHeader();
  bool ScanRecord(Scan& scan);
  void KeepBeforeSkipping(const Scan& scan);
  std::string_view Kept(char* record, std::size_t before);
  void TakeFields(std::size_t length, std::vector<std::string_view>& fields);
  std::size_t FieldLimit() const { return header_fields_ == 0 ? kFieldLimit : header_fields_; }

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;         // of buffer_
  std::size_t start_ = 0;        // the current record in buffer_
  std::size_t end_ = 0;          // the bytes read into buffer_
  bool last_read_full_ = false;  // it took all the room it was given
  bool at_end_ = false;
  bool read_failed_ = false;
  int error_number_ = 0;
  bool header_found_ = false;
  bool stopped_ = false;           // after a malformed header
  std::size_t header_fields_ = 0;  // 0 until the header is read
  Delimiter delimiter_ = Delimiter::kComma;
  std::size_t lines_ = 0;  // line ends consumed
  bool after_cr_ = false;  // the last byte consumed was a CR
  // Input offsets: of the end of buffer_, and of the second line of a record
  // read past the buffer. The spool, a temporary file, holds the input from
  // spool_base_ on while such a record is read, and is read again after it.
  std::uint64_t stream_end_ = 0;
  std::uint64_t resume_at_ = 0;
  bool resume_after_cr_ = false;
  std::unique_ptr<std::FILE, CloseFile> spool_;
  std::uint64_t spool_base_ = 0;
  std::uint64_t spool_size_ = 0;
  bool spooling_ = false;
  std::size_t kept_field_ = static_cast<std::size_t>(-1);
  std::vector<Span> spans_;
  std::string kept_;  // the kept field of a record too long to stay in buffer_
  bool kept_on_first_line_ = false;
  std::string error_;  // an error text that counts fields
};

}  // namespace recharge::table
