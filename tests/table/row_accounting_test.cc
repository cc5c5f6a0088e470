// recharge-table's output rows against its input's lines: one row for every
// record, in order, the id of a malformed one kept, none made up; lines whose
// cells are all empty are no rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/run_program.h"

namespace recharge::testing {
namespace {

using namespace std::string_literals;

ProgramRun Table(const std::string& input) {
  return RunProgram({.program = RECHARGE_TABLE_BINARY, .arguments = {"-q"}, .input = input});
}

const std::string kHeader = "id,P,ETp,Ps,ETps,Cs,zr,zgw,class\n";
const std::string kSand = "60,55,30,40,0.3,60,200,1";
const std::string kResultHeader = "id,Cs,FC,WP,Wmax,qmax,method,nB,h_an,g,ETa,R,status\n";

// The sand worked example; the exact doubles are those of the model tests.
std::string Ok(const std::string& id) {
  return id +
         ",0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,0.008553961197027261,"
         "bagrov,3.7118658444938797,,,48.79369975234298,11.206300247657019,ok\n";
}

std::string Bad(const std::string& id, const std::string& why) {
  return id + ",,,,,,,,,,,,input error: " + why + "\n";
}

std::string Repeat(const std::string& text, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += text;
  return out;
}

TEST(RowAccounting, EveryRecordOneRow) {
  const struct {
    const char* name;
    std::string rows;
    std::string expected;
  } cases[] = {
      {"a stray quote that a quote on line 6 would close",
       "r1," + kSand + "\nr2,\"" + kSand + "\nr3," + kSand + "\nr4," + kSand +
           "\nr5,\"60\",55,30,40,0.3,60,200,1\nr6," + kSand + "\n",
       Ok("r1") + Bad("r2", "line 3: unterminated quote") + Ok("r3") + Ok("r4") + Ok("r5") +
           Ok("r6")},
      {"a quoted cell over 1 MiB",
       "r1," + kSand + "\nr2,\"" + Repeat("60\n", 400000) + "\",55,30,40,0.3,60,200,1\nr3," +
           kSand + "\n",
       Ok("r1") + Bad("r2", "line 3: row longer than 1 MiB") + Ok("r3")},
      {"rows of delimiters, empty fields beyond the header",
       ",,,,,,,,\n , ,\t,\n\"\",,,,,,,,,,,,\nr1," + kSand + ",,, ,\n,,\n", Ok("r1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramRun run = Table(kHeader + c.rows);
    EXPECT_EQ(run.out, kResultHeader + c.expected);
    EXPECT_EQ(run.err, "");
  }
}

// Lines the reader cannot take, among them the stray quote of line 3 that a
// quote on line 6 would close after more than 1 MiB.
TEST(RowAccounting, RowCountIsDataLineCount) {
  const struct {
    std::string text;
    std::string row;  // none for a line of empty cells
  } lines[] = {
      {"r1," + kSand, Ok("r1")},
      {"r2,\"" + kSand, Bad("r2", "line 3: unterminated quote")},
      {"r3,60,55,30,40,0.3,60,20\0"s + "0,1", Bad("r3", "line 4: NUL byte in the row")},
      {"r4," + std::string(1 << 20, '7') + ",55,30,40,0.3,60,200,1",
       Bad("r4", "line 5: row longer than 1 MiB")},
      {"r5,\"60\"x,55,30,40,0.3,60,200,1", Bad("r5", "line 6: characters after a closing quote")},
      {",,,,,,,,", ""},
      {"r6," + kSand + ",7", Bad("r6", "line 8: 10 fields where the header has 9")},
      {"r7," + kSand + ",,,", Ok("r7")},
      {"r8,\"" + kSand, Bad("r8", "line 10: unterminated quote")},
  };
  std::string input = kHeader, expected = kResultHeader;
  std::size_t data_lines = 0;
  for (const auto& line : lines) {
    input += line.text + "\n";
    expected += line.row;
    data_lines += line.row.empty() ? 0 : 1;
  }
  const ProgramRun run = Table(input);
  EXPECT_EQ(static_cast<std::size_t>(std::count(run.out.begin(), run.out.end(), '\n')),
            1 + data_lines);
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run.status, 1);
}

TEST(RowAccounting, WideTextIsRefusedAtTheHeader) {
  std::string utf16 = "\xFF\xFE";
  for (const char c : kHeader + kSand) utf16 += std::string{c, '\0'};
  const ProgramRun run = Table(utf16);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "recharge-table: standard input: header: the table is UTF-16LE text; save it as "
            "UTF-8\n");
  EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace recharge::testing
