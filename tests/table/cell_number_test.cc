#include "table/cell_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

namespace recharge::table {
namespace {

constexpr ParseOutcome kOk = ParseOutcome::kOk;
constexpr ParseOutcome kEmpty = ParseOutcome::kEmpty;
constexpr ParseOutcome kNaN = ParseOutcome::kNotANumber;
constexpr ParseOutcome kRange = ParseOutcome::kOutOfRange;
constexpr ParseOutcome kOther = ParseOutcome::kOtherMark;
constexpr DecimalMark kPoint = DecimalMark::kPoint;
constexpr DecimalMark kComma = DecimalMark::kComma;

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

TEST(CellNumberTest, Reals) {
  const struct {
    std::string cell;
    DecimalMark mark;
    ParseOutcome outcome;
    std::uint64_t bits = 0;
  } cases[] = {
      {"+5.", kPoint, kOk, Bits(5.0)},
      {"-.5", kPoint, kOk, Bits(-0.5)},
      {"-2.5E-1", kPoint, kOk, Bits(-0.25)},
      {"-0", kPoint, kOk, Bits(-0.0)},
      {"0,5", kComma, kOk, Bits(0.5)},
      {"5,", kComma, kOk, Bits(5.0)},
      {",5e1", kComma, kOk, Bits(5.0)},
      {"", kPoint, kEmpty},
      // Only the grammar.
      {"1,2.5", kComma, kNaN},
      // The other mark is never read as the table's own: a thousands
      // separator, most likely.
      {"1.500", kComma, kOther},
      {"-1.5e3", kComma, kOther},
      {"1,5", kPoint, kOther},
      {"1,5x", kPoint, kNaN},
      {".", kPoint, kNaN},
      {"+-5", kPoint, kNaN},
      {"e5", kPoint, kNaN},
      {"1e", kPoint, kNaN},
      {"1e5.5", kPoint, kNaN},
      {" 5", kPoint, kNaN},
      {"1 000", kPoint, kNaN},
      {"nan", kPoint, kNaN},
      {"inf", kPoint, kNaN},
      {"0x10", kPoint, kNaN},
      {"1d3", kPoint, kNaN},
      // Correct rounding: the largest denormal, 2^53 + 1 (a tie, to even), 0.1.
      {"2.2250738585072011e-308", kPoint, kOk, 0x000fffffffffffff},
      {"9007199254740993", kPoint, kOk, 0x4340000000000000},
      {"0.1", kPoint, kOk, 0x3fb999999999999a},
      {"0,1", kComma, kOk, 0x3fb999999999999a},
      // Underflow is a value; beyond the largest double is out of range.
      {"1e-400", kPoint, kOk, Bits(0.0)},
      {"-1e-400", kPoint, kOk, Bits(-0.0)},
      {"2.4703282292062327e-324", kPoint, kOk, Bits(0.0)},
      {"1e-310", kPoint, kOk, 0x12688b70e62b},
      {"1.7976931348623158e308", kPoint, kOk, 0x7fefffffffffffff},
      {"1.7976931348623159e308", kPoint, kRange},
      {"1e309", kPoint, kRange},
      // A comma cell too long to convert in place.
      {"1" + std::string(200, '0') + ",5", kComma, kOk, Bits(1e200)},
      // A cell as long as a record.
      {"0." + std::string(1 << 20, '0') + "1", kPoint, kOk, Bits(0.0)},
      {std::string(1 << 20, '9'), kPoint, kRange},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell.substr(0, 40) + (c.mark == kComma ? " (decimal commas)" : ""));
    double value = 77.0;
    EXPECT_EQ(ParseNumber(c.cell, c.mark, value), c.outcome);
    EXPECT_EQ(Bits(value), c.outcome == kOk ? c.bits : Bits(77.0));
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
    for (const DecimalMark mark : {kPoint, kComma}) {
      SCOPED_TRACE(c.text);
      std::string out = "x;";
      AppendNumber(c.value, mark, out);
      EXPECT_EQ(out, std::string("x;") + (mark == kComma ? c.comma_text : c.text));
      double back = 77.0;
      EXPECT_EQ(ParseNumber(std::string_view(out).substr(2), mark, back), kOk);
      EXPECT_EQ(Bits(back), Bits(c.value));
    }
  }
}

// A unit a power of ten from the model's moves the decimal point before the
// one rounding: each cell reads as the double of the shifted text.
TEST(CellNumberTest, ShiftedByAPowerOfTen) {
  const struct {
    std::string cell;
    int shift;
    ParseOutcome outcome;
    double value = 0.0;
  } cases[] = {
      {"605", -1, kOk, 60.5},  // mm
      {"1.1", 2, kOk, 110.0},  // m: 1.1 * 100 is 110.00000000000001
      {"-2.5e-1", 1, kOk, -2.5},
      {"0.1", -1, kOk, 0.01},
      {"1.7976931348623157e306", 2, kOk, 1.7976931348623157e308},
      {"1e307", 2, kRange},
      {"1e-322", -3, kOk, 0.0},
      {"0" + std::string(120, '0') + "3.3", 3, kOk, 3300.0},  // beyond the short copy
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell.substr(0, 40));
    double value = 77.0;
    EXPECT_EQ(ParseNumber(c.cell, kPoint, value, c.shift), c.outcome);
    if (c.outcome == kOk) {
      EXPECT_EQ(Bits(value), Bits(c.value));
    }
  }
  double value = 0.0;
  EXPECT_EQ(ParseNumber("60,5", kComma, value, 1), kOk);
  EXPECT_EQ(value, 605.0);

  // Written back with the point moved, in the shorter of the two forms; read
  // with the opposite shift, the very double.
  const struct {
    double value;
    int shift;
    const char* text;
  } written[] = {
      {48.79369975234298, 1, "487.9369975234298"},
      {0.5, -2, "0.005"},  // a tie: fixed, as to_chars
      {0.5, -3, "5e-04"},
      {123.0, -5, "0.00123"},
      {7.0, 3, "7000"},
      {1.5e-7, 1, "1.5e-06"},
      {1e21, 1, "1e+22"},
      {-0.0, 1, "-0"},
  };
  for (const auto& c : written) {
    SCOPED_TRACE(c.text);
    std::string out;
    AppendNumber(c.value, kPoint, out, c.shift);
    EXPECT_EQ(out, c.text);
    double back = 77.0;
    EXPECT_EQ(ParseNumber(out, kPoint, back, -c.shift), kOk);
    EXPECT_EQ(Bits(back), Bits(c.value));
  }
}

// A cell within the range of a double in its own unit but beyond it in the
// model's is refused as such, by a power of ten as by a factor.
TEST(CellNumberTest, BeyondTheRangeInTheModelsUnit) {
  double value = 0.0;
  std::string problem;
  EXPECT_FALSE(ReadCell("zgw", "1e307", kPoint, UnitScale{2}, value, problem));
  EXPECT_EQ(problem, "zgw: \"1e307\" is beyond the range of a double in the model's unit");
  EXPECT_FALSE(ReadCell("P", "7.07e307", kPoint,
                        {0, 2.54, false, 1.7976931348623157e308 / 2.54 / 2}, value, problem));
  EXPECT_EQ(problem, "P: \"7.07e307\" is beyond the range of a double in the model's unit");
  EXPECT_FALSE(ReadCell("zgw", "1e999", kPoint, UnitScale{2}, value, problem));
  EXPECT_EQ(problem, "zgw: \"1e999\" is beyond the range of a double");
}

// A frame's text is read with a point once the blanks and tabs around it
// are dropped; blanks alone are an empty cell.
TEST(CellNumberTest, TextCellOfAFrame) {
  double value = 0.0;
  std::string problem;
  EXPECT_TRUE(ReadTextCell("P", " \t605 ", UnitScale{-1}, value, problem));
  EXPECT_EQ(value, 60.5);
  EXPECT_TRUE(ReadTextCell("P", "  ", UnitScale{}, value, problem));
  EXPECT_TRUE(std::isnan(value));
  EXPECT_FALSE(ReadTextCell("P", "60,5", UnitScale{}, value, problem));
  EXPECT_EQ(problem, "P: \"60,5\": a comma in a table with decimal points");
}

// A result in a length a power of ten from cm is the double its written cell
// reads back as, not the product; any other factor is the product, infinite
// beyond the range.
TEST(CellNumberTest, ResultInAnotherLength) {
  const UnitScale mm{1};
  EXPECT_EQ(Bits(ResultIn(76.3774618976614, mm)), Bits(763.774618976614));
  EXPECT_NE(Bits(76.3774618976614 * 10), Bits(763.774618976614));
  EXPECT_EQ(Bits(ResultIn(-0.0, mm)), Bits(-0.0));
  const UnitScale in{0, 1 / 2.54, false, 1e300};
  EXPECT_EQ(ResultIn(2.54, in), 2.54 * (1 / 2.54));
  EXPECT_EQ(ResultIn(-2e300, in), -HUGE_VAL);
}

}  // namespace
}  // namespace recharge::table
