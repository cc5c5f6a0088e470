#include "console/list_directed_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace recharge {
namespace {

// Hands out its lines one by one, then the end of the input.
class FakeSource : public LineSource {
 public:
  explicit FakeSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  RuntimeError NextLine(std::string_view& line) override {
    if (fetched == lines_.size()) return RuntimeError::kEndOfFile;
    line = lines_[fetched++];
    return RuntimeError::kNone;
  }

  std::size_t fetched = 0;

 private:
  std::vector<std::string> lines_;
};

constexpr double kKept = -99.0;  // the preset of every target

TEST(ListDirectedInputTest, OneReadOfReals) {
  constexpr double u = kKept;
  const struct {
    std::vector<std::string> lines;
    std::vector<double> values;  // the targets after the READ, preset to kKept
    RuntimeError error = RuntimeError::kNone;
  } cases[] = {
      {{"3.5\n", "\n", "  \n", "\t2.0\t 1\n"}, {3.5, 2.0, 1.0}},
      // Commas: a null value after a comma, never after a blank separator.
      {{"3.5, ,2.0\n"}, {3.5, u, 2.0}},
      {{"3.5 , 2.0\n"}, {3.5, 2.0}},
      {{" ,5\n"}, {u, 5.0}},
      // A line end that ends a value is a blank separator; a skipped one is not.
      {{"60\n", ",55\n"}, {60.0, 55.0}},
      {{"1,\n", ",2\n"}, {1.0, u}},
      // Repeat counts; the value after the asterisk is the current item's.
      {{"2*4.5\n"}, {4.5, 4.5}},
      {{"2* 7\n"}, {u, u, 7.0}},
      {{"1* 5\n"}, {u, 5.0}},
      {{"2*3*4\n"}, {u, u}, RuntimeError::kRepeatCount},
      {{"0*5\n"}, {u}, RuntimeError::kRepeatCount},
      {{"-2*5\n"}, {u}, RuntimeError::kRepeatCount},
      {{"x*5\n"}, {u}, RuntimeError::kInvalidInteger},
      // A slash ends the list; later targets keep their values.
      {{"2*5/\n"}, {5.0, 5.0}},
      {{"1/ 2\n"}, {1.0, u, u}},
      // A carriage return ends its line.
      {{"1 2\r3\n", "4\n"}, {1.0, 2.0, 4.0}},
      {{"'5'\n"}, {u}, RuntimeError::kWrongForm},
      {{"2*(1,2)\n"}, {u}, RuntimeError::kWrongForm},
      {{"1.5x\n"}, {u}, RuntimeError::kCharactersAfterReal},
      {{"1\n"}, {1.0, u}, RuntimeError::kEndOfFile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    FakeSource source(c.lines);
    ListDirectedReader reader(source);
    std::vector<double> values(c.values.size(), u);
    RuntimeError error = RuntimeError::kNone;
    reader.Begin();
    for (double& value : values) {
      if (error == RuntimeError::kNone) error = reader.Transfer(value);
    }
    reader.End();
    EXPECT_EQ(error, c.error);
    if (error == RuntimeError::kNone) {
      EXPECT_EQ(values, c.values);
    }
  }
}

// Each READ starts on a new line, and a line is fetched only when a value
// needs it: "2*" and its line end fill both targets, and the end of that READ
// leaves "1 7 9" for the next one.
TEST(ListDirectedInputTest, ReadsOfIntegersLineByLine) {
  FakeSource source({"2*\n", "1 7 9\n", "/ 5\n", "1.0\n"});
  ListDirectedReader reader(source);
  std::int32_t a = -1;
  std::int32_t b = -1;
  reader.Begin();
  reader.End();
  EXPECT_EQ(source.fetched, 0u);
  reader.Begin();
  EXPECT_EQ(reader.Transfer(a), RuntimeError::kNone);
  EXPECT_EQ(reader.Transfer(b), RuntimeError::kNone);
  reader.End();
  EXPECT_EQ(source.fetched, 1u);
  reader.Begin();
  EXPECT_EQ(reader.Transfer(a), RuntimeError::kNone);
  reader.End();
  reader.Begin();
  EXPECT_EQ(reader.Transfer(b), RuntimeError::kNone);
  reader.End();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, -1);
  reader.Begin();
  EXPECT_EQ(reader.Transfer(a), RuntimeError::kInvalidInteger);
}

}  // namespace
}  // namespace recharge
