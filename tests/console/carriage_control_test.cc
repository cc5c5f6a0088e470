#include "console/carriage_control.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

struct AdvanceCase {
  char control;
  const char* on_pending_line;
  const char* on_fresh_line;
};

TEST(CarriageControlTest, LineAdvanceDependsOnTheCurrentLine) {
  const AdvanceCase cases[] = {
      {' ', "\r\n", ""},         {'A', "\r\n", ""},
      {'0', "\r\n\r\n", "\r\n"}, {'1', "\r\n\f\r \r", "\r\n\f\r \r"},
      {'+', "\r", "\r"},
  };
  for (const AdvanceCase& c : cases) {
    SCOPED_TRACE(c.control);
    EXPECT_EQ(LineAdvance(c.control, true), c.on_pending_line);
    EXPECT_EQ(LineAdvance(c.control, false), c.on_fresh_line);
  }
}

}  // namespace
}  // namespace recharge
