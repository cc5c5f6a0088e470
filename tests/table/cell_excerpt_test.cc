#include "table/cell_excerpt.h"

#include <gtest/gtest.h>

#include <string>

#include "table/utf8.h"

namespace recharge::table {
namespace {

TEST(CellExcerptTest, InvisibleBytesAreShownEscaped) {
  const struct {
    std::string cell;
    const char* shown;
  } cases[] = {
      {"6o", "\"6o\""},
      {std::string("60\0", 3), "\"60\\x00\""},
      {"60\t\x7f", "\"60\\x09\\x7f\""},
      {"60\xc2\xa0", "\"60\\u00a0\""},  // no-break space
      {"\xe2\x80\x8b"
       "1",
       "\"\\u200b1\""},  // zero-width space
      {"\xef\xbb\xbf"
       "P",
       "\"\\ufeffP\""},                    // a byte-order mark
      {"K\xc3\xb6ln", "\"K\xc3\xb6ln\""},  // printable UTF-8 stays
      {"\xc3", "\"\\xc3\""},               // a sequence cut short
      {"\xc0\xaf", "\"\\xc0\\xaf\""},      // an overlong form
      {std::string(41, '7'), "\"7777777777777777777777777777777777777777...\" (41 bytes)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(Excerpt(c.cell), c.shown);
  }
}

}  // namespace
}  // namespace recharge::table

namespace recharge::table {
namespace {

// A table's text is marked UTF-8 by the R package where all of it is.
TEST(Utf8, WholeTextInShortestFormsOnly) {
  EXPECT_TRUE(IsUtf8("M\xc3\xbcller, 60 \xe2\x80\xaf cm, \xf0\x9f\x8c\xa7"));
  EXPECT_TRUE(IsUtf8(""));
  EXPECT_FALSE(IsUtf8("M\xfcller"));         // cp1252
  EXPECT_FALSE(IsUtf8("\xc0\x80"));          // overlong NUL
  EXPECT_FALSE(IsUtf8("\xed\xa0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xf4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsUtf8("60 \xe2\x80"));       // cut short
}

}  // namespace
}  // namespace recharge::table
