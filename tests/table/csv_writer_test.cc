#include "table/csv_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace recharge::table {
namespace {

TEST(CsvWriterTest, QuotedOnlyWhenReadingBackWouldChangeIt) {
  const struct {
    const char* text;
    char delimiter;
    const char* written;
  } cases[] = {
      {"60.5", ',', "60.5"},
      {"0,5", ';', "0,5"},
      {"0,5", ',', "\"0,5\""},
      {"a\tb", '\t', "\"a\tb\""},
      {"a\tb", ',', "a\tb"},
      {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
      {"two\nlines", ',', "\"two\nlines\""},
      {"cr\r", ',', "\"cr\r\""},
      {" lead", ',', "\" lead\""},
      {"trail\t", ';', "\"trail\t\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string out = "x";
    AppendField(c.text, c.delimiter, out);
    EXPECT_EQ(out, std::string("x") + c.written);
  }
  std::string out = "a";
  AppendRecordEnd(out);
  EXPECT_EQ(out, "a\n");
}

}  // namespace
}  // namespace recharge::table
