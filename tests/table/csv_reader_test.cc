#include "table/csv_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace recharge::table {
namespace {

using namespace std::string_literals;

struct Row {
  std::size_t line;
  std::vector<std::string> fields;
  std::string error = {};
  std::string kept = {};
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  out << "line " << row.line << (row.error.empty() ? "" : " " + row.error)
      << (row.kept.empty() ? "" : " kept [" + row.kept + "]") << ":";
  for (const std::string& field : row.fields) out << " [" << field.substr(0, 20) << "]";
  return out;
}

// Reads `input` from a non-blocking pipe that another thread fills in pieces
// of `piece` bytes, so that records straddle reads and the reader waits in
// poll(2). Field 0 is the kept field of the rows.
std::vector<Row> ReadThroughPipe(const std::string& input, std::size_t piece, Delimiter& found) {
  int ends[2];
  EXPECT_EQ(pipe(ends), 0);
  EXPECT_EQ(fcntl(ends[0], F_SETFL, O_NONBLOCK), 0);
  std::thread writer([&] {
    for (std::size_t at = 0; at < input.size();) {
      const ssize_t put = write(ends[1], input.data() + at, std::min(piece, input.size() - at));
      if (put <= 0) break;
      at += static_cast<std::size_t>(put);
    }
    close(ends[1]);
  });
  CsvReader reader(ends[0]);
  std::vector<Row> rows;
  Record record;
  ReadStatus status;
  while ((status = reader.Next(record)) == ReadStatus::kRecord) {
    rows.push_back({record.line, {record.fields.begin(), record.fields.end()}});
    rows.back().error = record.error;
    rows.back().kept = record.kept;
    reader.set_kept_field(0);
  }
  EXPECT_EQ(status, ReadStatus::kEnd);
  found = reader.delimiter();
  writer.join();
  close(ends[0]);
  return rows;
}

// `text` `count` times.
std::string Repeat(const std::string& text, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += text;
  return out;
}

TEST(CsvReaderTest, Records) {
  constexpr Delimiter kComma = Delimiter::kComma;
  constexpr Delimiter kSemicolon = Delimiter::kSemicolon;
  const std::string unterminated = "unterminated quote", nul = "NUL byte in the row",
                    too_long = "row longer than 1 MiB", after = "characters after a closing quote";
  const std::string longest(kRecordLimit, 'x');
  // Over 1 MiB in 1100 lines, and `count` rows of them from line `first` on.
  const std::string wide(1000, 'x');
  const std::string lines = Repeat(wide + ",y\n", 1100);
  std::vector<Row> unclosed = {{1, {"a", "b"}}, {2, {"r1", "1"}}, {3, {}, unterminated, "r2"}};
  const auto add_rows = [&](std::size_t first, std::size_t count) {
    for (std::size_t line = first; line < first + count; ++line) {
      unclosed.push_back({line, {wide, "y"}});
    }
  };
  add_rows(4, 1099);
  unclosed.push_back({1103, {}, unterminated, "r3"});
  add_rows(1104, 1100);
  unclosed.push_back({2204, {"r4", "4"}});
  const struct {
    std::string input;
    Delimiter delimiter;
    std::vector<Row> rows;
  } cases[] = {
      {"\xEF\xBB\xBF \n\t\r\n ", kComma, {}},
      {"\xEF\xBB\xBF"
       "a,b\n1,2",
       kComma,
       {{1, {"a", "b"}}, {2, {"1", "2"}}}},
      {"a;b\r\n1,5;2\r\n\r\n3;4\r\n",
       kSemicolon,
       {{1, {"a", "b"}}, {2, {"1,5", "2"}}, {4, {"3", "4"}}}},
      {"a\rb\r\rc", kComma, {{1, {"a"}}, {2, {"b"}}, {4, {"c"}}}},
      // Blank lines before the header; the tab wins a tie.
      {"\n \t\r\nx\ty;z\n\n \t\n1\t2\n", Delimiter::kTab, {{3, {"x", "y;z"}}, {6, {"1", "2"}}}},
      {"a,b\n \t \n\t1 ,\t2\t\n", kComma, {{1, {"a", "b"}}, {3, {"1", "2"}}}},
      {"n,m\n\"x,y\",\"say \"\"hi\"\"\"\n  \"two\r\nlines\" ,z\nw , \" w \"\n",
       kComma,
       {{1, {"n", "m"}},
        {2, {"x,y", "say \"hi\""}},
        {3, {"two\r\nlines", "z"}},
        {5, {"w", " w "}}}},
      // The example of the header comment.
      {"name ; P ;note\nSs;\"60,5\"; a \"b\"\n ; ;\nLu;61;\"x\";\"y\"z\nUt2;\"62;x\nTt;\"63\";"
       "\"a\";",
       kSemicolon,
       {{1, {"name", "P", "note"}},
        {2, {"Ss", "60,5", "a \"b\""}},
        {4, {}, after, "Lu"},
        {5, {}, unterminated, "Ut2"},
        {6, {"Tt", "63", "a"}}}},
      {"a;b,c;d\n", kSemicolon, {{1, {"a", "b,c", "d"}}}},
      {"a,b;c,d;e\n", kSemicolon, {{1, {"a,b", "c,d", "e"}}}},
      {"\"x;y\",z\n", kComma, {{1, {"x;y", "z"}}}},
      // Fields all empty are no row, empty ones beyond the header dropped.
      {";,;\n\"\",\na,b,c\n,,\n\"\", ,\"\",,\n1,\n2,,,\t,\n",
       kComma,
       {{3, {"a", "b", "c"}}, {6, {"1", ""}}, {7, {"2", "", ""}}}},
      {"a\n" + std::string(kRecordLimit + 5, ',') + "\nb\n", kComma, {{1, {"a"}}, {3, {"b"}}}},
      // Malformed records are one row each, and the rows after them follow.
      {"a,b\n1,2,3\n4,\"5\",\"6\"\n7,,\"\"\n",
       kComma,
       {{1, {"a", "b"}},
        {2, {}, "3 fields where the header has 2", "1"},
        {3, {}, "3 fields where the header has 2", "4"},
        {4, {"7", ""}}}},
      {"a,b\n1,\0\n\"\0\",2\n3,4\n"s,
       kComma,
       {{1, {"a", "b"}}, {2, {}, nul, "1"}, {3, {}, nul, "\0"s}, {4, {"3", "4"}}}},
      {"a,b\n\"x\"y,2\n\"x\" ,2\n", kComma, {{1, {"a", "b"}}, {2, {}, after}, {3, {"x", "2"}}}},
      // A quote opened on a line: a record that is malformed when read to its
      // closing quote is its first line, and the lines after it are rows.
      {"a,b\n1,\"2\r\n3,4\n5,6\n",
       kComma,
       {{1, {"a", "b"}}, {2, {}, unterminated, "1"}, {3, {"3", "4"}}, {4, {"5", "6"}}}},
      {"id,a,b\nr1,\"1,2\nr2,3,4\nr3,\"5\",6\nr4,\"7\n8\",\"9\"\n",
       kComma,
       {{1, {"id", "a", "b"}},
        {2, {}, unterminated, "r1"},
        {3, {"r2", "3", "4"}},
        {4, {"r3", "5", "6"}},
        {5, {"r4", "7\n8", "9"}}}},
      {"a,b\n\"x\"\"y\",\"1\ny\",2\n\"z\n\"x\n\"x\n",
       kComma,
       {{1, {"a", "b"}},
        {2, {}, unterminated, "x\"y"},
        {3, {"y\"", "2"}},
        {4, {}, unterminated},
        {5, {}, unterminated},
        {6, {}, unterminated}}},
      {"a\n" + longest + "\n" + longest + "y\nz\n",
       kComma,
       {{1, {"a"}}, {2, {longest}}, {3, {}, too_long}, {4, {"z"}}}},
      // A quoted field past the limit is read to its closing quote; if the
      // record is then malformed, it is its first line all the same.
      {"a,b\nr1,1\nr2,\"" + lines + "\"\nr3,3\n",
       kComma,
       {{1, {"a", "b"}}, {2, {"r1", "1"}}, {3, {}, too_long, "r2"}, {1104, {"r3", "3"}}}},
      {"a,b\nr1,1\nr2,\"" + lines + "r3,\"x,y\n" + lines + "r4,4\n", kComma, unclosed},
      // A malformed header is the last record.
      {std::string(kFieldLimit, ';') + "x\n1\n", kSemicolon, {{1, {}, "more than 16384 fields"}}},
      {"\"a\nb,c\n", kComma, {{1, {}, unterminated}}},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece :
         {c.input.size() + 1, c.input.size() > 1000 ? std::size_t{4099} : std::size_t{5}}) {
      SCOPED_TRACE(c.input.substr(0, 24) + ", in pieces of " + std::to_string(piece));
      Delimiter delimiter = kComma;
      EXPECT_EQ(ReadThroughPipe(c.input, piece, delimiter), c.rows);
      EXPECT_EQ(delimiter, c.delimiter);
    }
  }
}

TEST(CsvReaderTest, WideEncodingsAreRefused) {
  const struct {
    std::string input;
    std::string encoding;
  } cases[] = {
      {"\xFF\xFEP\0\t\0E\0"s, "UTF-16LE"},  {"P\0\t\0E\0"s, "UTF-16LE"},
      {"\xFE\xFF\0P\0\t"s, "UTF-16BE"},     {"\0P\0\t"s, "UTF-16BE"},
      {"\xFF\xFE\0\0P\0\0\0"s, "UTF-32LE"}, {"P\0\0\0"s, "UTF-32LE"},
      {"\0\0\xFE\xFF\0\0\0P"s, "UTF-32BE"}, {"\0\0\0P"s, "UTF-32BE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    Delimiter delimiter;
    EXPECT_EQ(
        ReadThroughPipe(c.input + "\n\0a\0"s, 5, delimiter),
        (std::vector<Row>{{1, {}, "the table is " + c.encoding + " text; save it as UTF-8"}}));
  }
}

TEST(CsvReaderTest, ReadFailure) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  CsvReader reader(ends[1]);  // the write end cannot be read
  Record record;
  EXPECT_EQ(reader.Next(record), ReadStatus::kReadFailure);
  EXPECT_EQ(reader.error_number(), EBADF);
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
}  // namespace recharge::table
