#include "table/cell_number.h"

#include <fenv.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

namespace recharge::table {
namespace {

// The program runs with invalid operation, division by zero and overflow
// trapping; a conversion that let one through would end the test with SIGFPE.
class Traps : public ::testing::Environment {
 public:
  void SetUp() override { feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW); }
};

[[maybe_unused]] ::testing::Environment* const kTraps =
    ::testing::AddGlobalTestEnvironment(new Traps);

constexpr ParseOutcome kOk = ParseOutcome::kOk;
constexpr ParseOutcome kEmpty = ParseOutcome::kEmpty;
constexpr ParseOutcome kNaN = ParseOutcome::kNotANumber;
constexpr ParseOutcome kRange = ParseOutcome::kOutOfRange;

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

TEST(CellNumberTest, Reals) {
  const struct {
    std::string cell;
    bool decimal_comma;
    ParseOutcome outcome;
    std::uint64_t bits = 0;
  } cases[] = {
      {"+5.", false, kOk, Bits(5.0)},
      {"-.5", false, kOk, Bits(-0.5)},
      {"-2.5E-1", true, kOk, Bits(-0.25)},
      {"-0", false, kOk, Bits(-0.0)},
      {"0,5", true, kOk, Bits(0.5)},
      {"5,", true, kOk, Bits(5.0)},
      {",5e1", true, kOk, Bits(5.0)},
      {"", false, kEmpty},
      // Only the grammar.
      {"1,5", false, kNaN},
      {"1,2.5", true, kNaN},
      {".", false, kNaN},
      {"+-5", false, kNaN},
      {"e5", false, kNaN},
      {"1e", false, kNaN},
      {"1e5.5", false, kNaN},
      {" 5", false, kNaN},
      {"1 000", false, kNaN},
      {"nan", false, kNaN},
      {"inf", false, kNaN},
      {"0x10", false, kNaN},
      {"1d3", false, kNaN},
      // Correct rounding: the largest denormal, 2^53 + 1 (a tie, to even), 0.1.
      {"2.2250738585072011e-308", false, kOk, 0x000fffffffffffff},
      {"9007199254740993", false, kOk, 0x4340000000000000},
      {"0.1", false, kOk, 0x3fb999999999999a},
      {"0,1", true, kOk, 0x3fb999999999999a},
      // Underflow is a value; beyond the largest double is out of range.
      {"1e-400", false, kOk, Bits(0.0)},
      {"2.4703282292062327e-324", false, kOk, Bits(0.0)},
      {"1e-310", false, kOk, 0x12688b70e62b},
      {"1.7976931348623158e308", false, kOk, 0x7fefffffffffffff},
      {"1.7976931348623159e308", false, kRange},
      {"1e309", false, kRange},
      // A cell as long as a record.
      {"0." + std::string(1 << 20, '0') + "1", false, kOk, Bits(0.0)},
      {std::string(1 << 20, '9'), false, kRange},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell.substr(0, 40) + (c.decimal_comma ? " (decimal commas)" : ""));
    double value = 77.0;
    EXPECT_EQ(ParseNumber(c.cell, c.decimal_comma, value), c.outcome);
    EXPECT_EQ(Bits(value), c.outcome == kOk ? c.bits : Bits(77.0));
  }
}

TEST(CellNumberTest, Integers) {
  const struct {
    const char* cell;
    ParseOutcome outcome;
    std::int32_t value = 77;
  } cases[] = {
      {"+7", kOk, 7},
      {"-007", kOk, -7},
      {"2147483647", kOk, std::numeric_limits<std::int32_t>::max()},
      {"-2147483648", kOk, std::numeric_limits<std::int32_t>::min()},
      {"2147483648", kRange},
      {"99999999999999999999999", kRange},
      {"", kEmpty},
      {"+", kNaN},
      {"1.0", kNaN},
      {"1e3", kNaN},
      {"99999999999999999999999x", kNaN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    std::int32_t value = 77;
    EXPECT_EQ(ParseInteger(c.cell, value), c.outcome);
    EXPECT_EQ(value, c.value);
  }
}

TEST(CellNumberTest, OutputIsShortestAndReadsBack) {
  const struct {
    double value;
    const char* text;
    const char* comma_text;
  } cases[] = {
      {0.1, "0.1", "0,1"},
      {2.905, "2.905", "2,905"},
      {-0.0, "-0", "-0"},
      {1e21, "1e+21", "1e+21"},
      {1e-310, "1e-310", "1e-310"},
      {5e-324, "5e-324", "5e-324"},
      {1.7976931348623157e308, "1.7976931348623157e+308", "1,7976931348623157e+308"},
  };
  for (const auto& c : cases) {
    for (const bool decimal_comma : {false, true}) {
      SCOPED_TRACE(c.text);
      std::string out = "x;";
      AppendNumber(c.value, decimal_comma, out);
      EXPECT_EQ(out, std::string("x;") + (decimal_comma ? c.comma_text : c.text));
      double back = 77.0;
      EXPECT_EQ(ParseNumber(std::string_view(out).substr(2), decimal_comma, back), kOk);
      EXPECT_EQ(Bits(back), Bits(c.value));
    }
  }
}

}  // namespace
}  // namespace recharge::table
