#include "console/list_directed_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "test_support.h"

namespace recharge {
namespace {

std::vector<std::string> Records(std::initializer_list<ListItem> items) {
  CollectingSink sink;
  BuildListRecords(items, sink);
  return sink.records;
}

TEST(ListDirectedOutputTest, Real8Text) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {2.5, "2.500000000000000"},
      {-2.5, "-2.500000000000000"},
      {1.0, "1.000000000000000"},
      {0.5, "5.000000000000000E-001"},
      {0.1, "1.000000000000000E-001"},
      {1.0 / 3.0, "3.333333333333333E-001"},
      {std::nextafter(1.0, 0.0), "9.999999999999999E-001"},
      {12345678.9, "1.234567890000000E+007"},
      {-12345678.9, "-1.234567890000000E+007"},
      {1e100, "1.000000000000000E+100"},
      {1e-5, "1.000000000000000E-005"},
      // Fixed form up to seven integer digits, never more than 16 digits.
      {1234567.1, "1234567.100000000000000"},
      {9999999.5, "9999999.500000000000000"},
      {std::nextafter(1e7, 0.0), "9999999.999999998000000"},
      {1e7, "1.000000000000000E+007"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ListDirectedReal8(c.value), c.text);
  }
}

TEST(ListDirectedOutputTest, FieldsAndSeparators) {
  const std::string blanks7(7, ' ');
  EXPECT_EQ(Records({ListItem::Character(" Month "), ListItem::Integer(4)}),
            std::vector<std::string>{"  Month           4"});
  EXPECT_EQ(Records({ListItem::Character("  bc= :"), ListItem::Real8(2.5)}),
            std::vector<std::string>{"   bc= :       2.500000000000000"});
  EXPECT_EQ(Records({ListItem::Character("  bc= :"), ListItem::Real8(0.5)}),
            std::vector<std::string>{"   bc= :  5.000000000000000E-001"});
  EXPECT_EQ(Records({ListItem::Character("Input monthly")}),
            std::vector<std::string>{" Input monthly"});
  // One separator blank between numbers, none after a CHARACTER item.
  EXPECT_EQ(Records({ListItem::Integer(1), ListItem::Integer(std::numeric_limits<int>::min()),
                     ListItem::Character("x"), ListItem::Integer(-2)}),
            std::vector<std::string>{"           1 -2147483648x         -2"});
  EXPECT_EQ(Records({ListItem::Real8(1.0), ListItem::Real8(-2.0)}),
            std::vector<std::string>{" " + blanks7 + "1.000000000000000" + "       " +
                                     "-2.000000000000000"});
  EXPECT_EQ(Records({}), std::vector<std::string>{" "});
}

TEST(ListDirectedOutputTest, RecordsWrapAfter78Columns) {
  // Six integers take 11 + 5 * 12 = 71 columns; the seventh needs 12 more.
  EXPECT_EQ(Records({ListItem::Integer(1), ListItem::Integer(2), ListItem::Integer(3),
                     ListItem::Integer(4), ListItem::Integer(5), ListItem::Integer(6),
                     ListItem::Integer(7)}),
            (std::vector<std::string>{
                "           1           2           3           4           5           6",
                "           7"}));
  // 54 + 24 columns fill a record exactly; one more character moves the number.
  const std::string real = "       2.500000000000000";
  const std::string a54(54, 'a');
  const std::string a55(55, 'a');
  EXPECT_EQ(Records({ListItem::Character(a54), ListItem::Real8(2.5)}),
            std::vector<std::string>{" " + a54 + real});
  EXPECT_EQ(Records({ListItem::Character(a55), ListItem::Real8(2.5)}),
            (std::vector<std::string>{" " + a55, " " + real}));
  // A CHARACTER item is split at the 78th column, as often as needed.
  const std::string a67(67, 'a');
  const std::string b78(78, 'b');
  EXPECT_EQ(Records({ListItem::Integer(5), ListItem::Character(a67 + b78 + "cd")}),
            (std::vector<std::string>{"           5" + a67, " " + b78, " cd"}));
}

}  // namespace
}  // namespace recharge
