// CSV input of a table, one record at a time from a file descriptor, so that
// a table of any length is read in bounded memory: one record of at most
// kRecordLimit bytes and one read block.
//
// The first record that is not empty is the header. A UTF-8 byte-order mark
// at the very start is skipped, and so are lines of only blanks and tabs
// before the header. The first line of the header picks the delimiter: the
// comma, semicolon or tab that occurs most often in it outside quotes (ties
// go to the tab, then the semicolon), the comma when none occurs.
//
// Fields are separated by the delimiter; a record ends at LF, CR LF or a lone
// CR. A field whose first character after blanks is a quote is quoted up to
// the closing quote: "" in it stands for one quote, and the delimiter, CR and
// LF are part of it. A quote anywhere else is an ordinary character. Blanks
// around a value are dropped, blanks inside quotes are kept; tabs count as
// blanks unless they are the delimiter. A line of nothing but blanks is no
// record; a line of only delimiters is a record of empty fields.
//
// A malformed record comes back as one record with an error and no fields,
// and reading goes on after it:
//   "unterminated quote"     no quote closes a field before the end of the
//                            input or within kRecordLimit bytes; the record is
//                            cut at its first line end and the next line is
//                            read anew
//   "NUL byte in the row"    a byte 0 anywhere in the record
//   "row longer than 1 MiB"  the rest of its line is skipped
//   "characters after a closing quote"  other than blanks, before the delimiter
//
//   name ; P ;note      line 1, the header (';' twice): {name, P, note}
//   Ss;"60,5"; a "b"    line 2: {Ss, 60,5, a "b"}
//                       line 3: empty, no record
//   Lu;61;"x";"y"z      line 4: characters after a closing quote
//   Ut2;"62             line 5: unterminated quote (no quote follows)
//   Tt;63               line 6: {Tt, 63}
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace recharge::table {

// The longest record, line end excluded.
inline constexpr std::size_t kRecordLimit = std::size_t{1} << 20;

enum class Delimiter : char { kComma = ',', kSemicolon = ';', kTab = '\t' };

// With a semicolon or a tab between the fields a comma can be a decimal mark.
constexpr bool AllowsDecimalComma(Delimiter delimiter) { return delimiter != Delimiter::kComma; }

struct Record {
  std::vector<std::string_view> fields;  // valid until the next read
  std::size_t line = 0;                  // the physical line it starts on, from 1
  std::string_view error;                // empty, or why the record is malformed
};

enum class ReadStatus { kRecord, kEnd, kReadFailure };

class CsvReader {
 public:
  explicit CsvReader(int fd);

  // kRecord with the header first, then each row; kReadFailure when read(2)
  // or poll(2) failed, with its errno in error_number().
  ReadStatus Next(Record& record);

  // Known once the header has been read.
  Delimiter delimiter() const { return delimiter_; }
  int error_number() const { return error_number_; }

 private:
  enum class Scan { kRecord, kEmptyLine, kUnterminatedQuote, kTooLong, kEnd };

  // A field value, in bytes from the start of the record.
  struct Span {
    std::size_t begin;
    std::size_t end;
    bool doubled_quotes;
  };

  bool Have(std::size_t offset);
  void Fill();
  void Consume(std::size_t count);
  void SkipRestOfLine();
  void FindHeader();
  Scan ScanRecord(std::size_t& length, std::string_view& error);
  void TakeFields(std::size_t length, std::vector<std::string_view>& fields);

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t start_ = 0;  // the current record in buffer_
  std::size_t end_ = 0;    // the bytes read into buffer_
  bool at_end_ = false;
  bool read_failed_ = false;
  int error_number_ = 0;
  bool header_found_ = false;
  Delimiter delimiter_ = Delimiter::kComma;
  std::size_t lines_ = 0;  // line ends consumed
  bool after_cr_ = false;  // the last byte consumed was a CR
  std::vector<Span> spans_;
};

}  // namespace recharge::table
