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
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
  out << "line " << row.line << (row.error.empty() ? "" : " " + row.error) << ":";
  for (const std::string& field : row.fields) out << " [" << field.substr(0, 20) << "]";
  return out;
}

// Reads `input` from a non-blocking pipe that another thread fills in pieces
// of `piece` bytes, so that records straddle reads and the reader waits in
// poll(2).
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
    rows.push_back({record.line, {record.fields.begin(), record.fields.end()}, {}});
    rows.back().error = record.error;
  }
  EXPECT_EQ(status, ReadStatus::kEnd);
  found = reader.delimiter();
  writer.join();
  close(ends[0]);
  return rows;
}

TEST(CsvReaderTest, Records) {
  constexpr Delimiter kComma = Delimiter::kComma;
  constexpr Delimiter kSemicolon = Delimiter::kSemicolon;
  const std::string unterminated = "unterminated quote", nul = "NUL byte in the row",
                    too_long = "row longer than 1 MiB", after = "characters after a closing quote";
  const std::string longest(kRecordLimit, 'x');
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
      // Blank lines before the header; the tab wins a tie, so " \t" is a row.
      {"\n \t\r\nx\ty;z\n\n \t\n1\t2\n",
       Delimiter::kTab,
       {{3, {"x", "y;z"}}, {5, {"", ""}}, {6, {"1", "2"}}}},
      {"a,b\n \t \n\t1 ,\t2\t\n", kComma, {{1, {"a", "b"}}, {3, {"1", "2"}}}},
      {"n,m\n\"x,y\",\"say \"\"hi\"\"\"\n  \"two\r\nlines\" ,z\nw , \" w \"\n",
       kComma,
       {{1, {"n", "m"}},
        {2, {"x,y", "say \"hi\""}},
        {3, {"two\r\nlines", "z"}},
        {5, {"w", " w "}}}},
      // The example of the header comment.
      {"name ; P ;note\nSs;\"60,5\"; a \"b\"\n\nLu;61;\"x\";\"y\"z\nUt2;\"62\nTt;63",
       kSemicolon,
       {{1, {"name", "P", "note"}},
        {2, {"Ss", "60,5", "a \"b\""}},
        {4, {}, after},
        {5, {}, unterminated},
        {6, {"Tt", "63"}}}},
      {"a;b,c;d\n", kSemicolon, {{1, {"a", "b,c", "d"}}}},
      {"a,b;c,d;e\n", kSemicolon, {{1, {"a,b", "c,d", "e"}}}},
      {"\"x;y\",z\n", kComma, {{1, {"x;y", "z"}}}},
      {"only\n1,5\n", kComma, {{1, {"only"}}, {2, {"1", "5"}}}},
      {"a,b,c\n,,\n1,", kComma, {{1, {"a", "b", "c"}}, {2, {"", "", ""}}, {3, {"1", ""}}}},
      // Malformed records are one row each, and the rows after them follow.
      {"a,b\n1,\"2\r\n3,4\n5,6\n",
       kComma,
       {{1, {"a", "b"}}, {2, {}, unterminated}, {3, {"3", "4"}}, {4, {"5", "6"}}}},
      {"a,b\n1,\0\n\"\0\",2\n3,4\n"s,
       kComma,
       {{1, {"a", "b"}}, {2, {}, nul}, {3, {}, nul}, {4, {"3", "4"}}}},
      {"a,b\n\"x\"y,2\n\"x\" ,2\n", kComma, {{1, {"a", "b"}}, {2, {}, after}, {3, {"x", "2"}}}},
      {"a\n" + longest + "\n" + longest + "y\nz\n",
       kComma,
       {{1, {"a"}}, {2, {longest}}, {3, {}, too_long}, {4, {"z"}}}},
      // A quote past the limit: its first line is the malformed row, and the
      // rest of the quoted field is then a row too long.
      {"a\n\"x\n" + longest + "\"\n1\n",
       kComma,
       {{1, {"a"}}, {2, {}, unterminated}, {3, {}, too_long}, {4, {"1"}}}},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece : {c.input.size() + 1, std::size_t{5}}) {
      SCOPED_TRACE(c.input.substr(0, 24) + ", in pieces of " + std::to_string(piece));
      Delimiter delimiter = kComma;
      EXPECT_EQ(ReadThroughPipe(c.input, piece, delimiter), c.rows);
      EXPECT_EQ(delimiter, c.delimiter);
    }
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
