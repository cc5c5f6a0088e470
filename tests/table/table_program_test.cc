// recharge-table run as a user runs it. The expected tables in tables/ are
// worked out apart from the program, by tests/reference/model_reference.py.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/run_program.h"

namespace recharge::testing {
namespace {

const std::string kTables = TABLE_DIR;

ProgramRun Table(std::vector<std::string> arguments, std::string input = "") {
  return RunProgram(
      {.program = RECHARGE_TABLE_BINARY, .arguments = std::move(arguments), .input = input});
}

const std::string kHeader = "P,ETp,Ps,ETps,Cs,zr,zgw,class\n";
const std::string kSand = "60,55,30,40,0.3,60,200,1\n";
const std::string kResultHeader = "Cs,FC,WP,Wmax,qmax,method,nB,h_an,g,ETa,R,status\n";
// The sand worked example; the exact doubles are those of the model tests.
const std::string kSandResult =
    "0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,0.008553961197027261,bagrov,"
    "3.7118658444938797,,,48.79369975234298,11.206300247657019,ok\n";

TEST(TableProgram, ExpectedTablesForAnyThreadCount) {
  for (const char* name : {"soils", "soils_semicolon"}) {
    SCOPED_TRACE(name);
    const std::string expected = Slurp(kTables + "/" + name + ".expected.csv");
    ASSERT_FALSE(expected.empty());
    for (const char* threads : {"1", "2", "5"}) {
      const ProgramRun run = Table({"-q", "-j", threads, kTables + "/" + name + ".csv"});
      EXPECT_EQ(run.out, expected) << threads << " threads";
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.status, 1);  // some rows are not ok
    }
  }
}

TEST(TableProgram, StatusesAndSummary) {
  ProgramRun run = Table({}, kHeader + kSand);
  EXPECT_EQ(run.out, kResultHeader + kSandResult);
  EXPECT_EQ(
      run.err,
      "recharge-table: 1 rows: 1 ok, 0 no convergence, 0 arithmetic faults, 0 input errors\n");
  EXPECT_EQ(run.status, 0);

  // Every other row is still computed around rows the reader cannot take,
  // and every input error names its line.
  const std::string bad_rows =
      "1,2,\"3\n"  // line 3: a quote never closed
      "60,55,30,40,0.3,60,20" +
      std::string(1, '\0') + "0,1\n" +                  // line 4: NUL
      std::string(1 << 20, '7') + ",1,1,1,1,1,1,1\n" +  // line 5: 1 MiB
      ",55,30,40,0.3,60,200,1\n";
  run = Table({"-q"}, kHeader + kSand + bad_rows + kSand);
  const std::string empty = ",,,,,,,,,,,";
  EXPECT_EQ(run.out, kResultHeader + kSandResult + empty +
                         "input error: line 3: unterminated quote\n" + empty +
                         "input error: line 4: NUL byte in the row\n" + empty +
                         "input error: line 5: row longer than 1 MiB\n" + empty +
                         "input error: line 6: P: no value\n" + kSandResult);
  EXPECT_EQ(run.status, 1);
}

// The sand with anaerobiosis: nB 2.000 and h_an, as in soils.expected.csv.
const std::string kSandAnaerobiosisResult =
    "0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,0.008553961197027261,bagrov,"
    "1.999785543664316,2.9047897020417253,,43.84552238760291,16.154477612397088,ok\n";

TEST(TableProgram, NamesWithoutRegardToCaseAndMisspeltOnesNamed) {
  // Even quiet, the notice names the column that is not read and what it
  // resembles.
  ProgramRun run = Table({"-q"},
                         "p,etp,PS,ETPS,cs,ZR,Zgw,Class,Anaerobiosis,clas\n"
                         "60,55,30,40,0.3,60,200,1,1,3\n");
  EXPECT_EQ(run.out, kResultHeader + kSandAnaerobiosisResult);
  EXPECT_EQ(run.err, "recharge-table: ignoring the column clas (did you mean class?)\n");
  EXPECT_EQ(run.status, 0);
  run = Table({}, "P,ETp,Ps,ETps,Cs,z_r,zgw,klass\n");
  EXPECT_EQ(run.err,
            "recharge-table: standard input: the header has no column zr (it has z_r), no column "
            "class (it has klass)\n");
  EXPECT_EQ(run.status, 2);
}

std::string Semicolons(std::string text) {
  std::replace(text.begin(), text.end(), ',', ';');
  return text;
}

TEST(TableProgram, DecimalMarkAsTheCommandLineSays) {
  const struct {
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
  } cases[] = {
      // Points in a semicolon table, written back with points.
      {{"-q", "--decimal", "point"},
       "P;ETp;Ps;ETps;Cs;zr;zgw;class\n60;55;30;40;0.3;60;200;1\n",
       Semicolons(kResultHeader + kSandResult)},
      {{"-q", "--decimal", "point"},
       "P;ETp;Ps;ETps;Cs;zr;zgw;class\n60;55;30;40;0,3;60;200;1\n",
       "Cs;FC;WP;Wmax;qmax;method;nB;h_an;g;ETa;R;status\n;;;;;;;;;;;\"input error: line 2: Cs: "
       "\"\"0,3\"\": a comma in a table with decimal points\"\n"},
      // Quoted decimal commas in a comma table.
      {{"-q", "--decimal", "comma"},
       "P,ETp,Ps,ETps,Cs,zr,zgw,class\n60,55,30,40,\"0,3\",60,200,1\n",
       kResultHeader + kSandResult},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ProgramRun run = Table(c.arguments, c.input);
    EXPECT_EQ(run.out, c.out);
  }
}

// The sand in other units: its cells read as the very doubles of the cm
// table, and results in mm are the cm results' texts with the point moved.
TEST(TableProgram, Units) {
  const std::string unit_header =
      "Cs [1],FC [cm3/cm3],WP [cm3/cm3],Wmax [cm],qmax [cm/d],method,nB [1],h_an [cm],g [1],"
      "ETa [cm/a],R [cm/a],status\n";
  const struct {
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
  } cases[] = {
      {{"-q"},
       "P [mm],ETp [mm],Ps (mm),ETps [kg m-2],Cs,zr [m],zgw (m),class\n"
       "600,550,300,400,0.3,0.6,2,1\n",
       unit_header + kSandResult},
      {{"-q", "--units", "mm"},
       kHeader + "600,550,300,400,0.3,600,2000,1\n",
       unit_header + kSandResult},
      // A column's own unit before --units.
      {{"-q", "--units", "m"},
       "P [mm/a],ETp [mm a-1],Ps [mm],ETps [mm],Cs,zr,zgw,class\n"
       "600,550,300,400,0.3,0.6,2,1\n",
       unit_header + kSandResult},
      {{"-q", "--output-units", "mm"},
       kHeader + kSand,
       "Cs [1],FC [cm3/cm3],WP [cm3/cm3],Wmax [mm],qmax [cm/d],method,nB [1],h_an [cm],g [1],"
       "ETa [mm/a],R [mm/a],status\n"
       "0.3,0.1434827632742888,0.020693696058879982,73.67344032924529,0.008553961197027261,"
       "bagrov,3.7118658444938797,,,487.9369975234298,112.06300247657019,ok\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ProgramRun run = Table(c.arguments, c.input);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
  }

  const struct {
    std::vector<std::string> arguments;
    std::string header;
    std::string err;
  } refused[] = {
      {{},
       "P,ETp,Ps,ETps,Cs,zr,zgw [1/m],class\n",
       "standard input: column zgw [1/m]: zgw takes a length (mm, cm, m, in, ...), not \"1/m\""},
      {{"--units", "degC"},
       kHeader,
       "--units: P takes a length (mm, cm, m, in, ...), a length per year (mm/a, mm year-1), a "
       "mass of water per area (kg m-2) or a mean rate (mm d-1, kg m-2 s-1), not \"degC\""},
      {{"--output-units", "m2"},
       kHeader,
       "--output-units takes a length (mm, cm, m, in, ...), not \"m2\""},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.err);
    const ProgramRun run = Table(c.arguments, c.header + kSand);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "recharge-table: " + c.err + "\n");
    EXPECT_EQ(run.status, 2);
  }

  // Without its unit database, a table with units cannot be read.
  const ProgramRun run = RunProgram(
      {.program = "/usr/bin/env",
       .arguments = {"UDUNITS2_XML_PATH=/nonexistent/udunits2.xml", RECHARGE_TABLE_BINARY},
       .input = "P [mm],ETp,Ps,ETps,Cs,zr,zgw,class\n" + kSand});
  EXPECT_EQ(run.err,
            "recharge-table: cannot read the UDUNITS-2 unit database "
            "/nonexistent/udunits2.xml (named by UDUNITS2_XML_PATH): No such file or directory\n");
  EXPECT_EQ(run.status, 2);
}

TEST(TableProgram, NothingComputedIsStatusTwoWithOneLine) {
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
    std::string err;
  };
  const Case cases[] = {
      {{"--frobnicate"}, "", "recharge-table: unknown option --frobnicate\n"},
      {{"-x"}, "", "recharge-table: unknown option -x\n"},
      {{"-j", "0"}, "", "recharge-table: --threads takes a whole number from 1 to 256, not 0\n"},
      {{"/nonexistent.csv"},
       "",
       "recharge-table: cannot read /nonexistent.csv: No such file or directory\n"},
      {{"/"}, "", "recharge-table: cannot read /: Is a directory\n"},
      {{}, "", "recharge-table: standard input: no header row\n"},
      {{},
       "P,ETp,Ps,zr,zgw,class\n",
       "recharge-table: standard input: the header has no column ETps\n"},
      {{},
       "P,ETp,Ps,ETps,zr,zgw,class,zr\n",
       "recharge-table: standard input: the header has the column zr twice (zr and zr)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    const ProgramRun run = Table(c.arguments, c.input);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, 2);
  }
  ProgramRun run = RunProgram({.program = RECHARGE_TABLE_BINARY,
                               .arguments = {"-q"},
                               .input = kHeader + kSand,
                               .stdout_path = "/dev/full"});
  EXPECT_EQ(run.err, "recharge-table: cannot write standard output: No space left on device\n");
  EXPECT_EQ(run.status, 2);
  run = Table({"--help"});
  EXPECT_EQ(run.out.rfind("Usage: recharge-table [options] [INPUT]\n", 0), 0u);
  EXPECT_EQ(run.status, 0);
}

TEST(TableProgram, OutputFileAppearsWholeOrNotAtAll) {
  char folder_template[] = "/tmp/recharge_table_XXXXXX";
  const std::string folder = mkdtemp(folder_template);
  const std::string output = folder + "/results.csv";
  std::ofstream(output) << "old results\n";

  // A failure leaves the old file and no temporary one.
  ProgramRun run = Table({"-q", "-o", output}, "P,ETp\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(Slurp(output), "old results\n");
  EXPECT_EQ(Entries(folder), (std::set<std::string>{".", "..", "results.csv"}));

  run = Table({"-q", "-o", output}, kHeader + kSand);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Slurp(output), kResultHeader + kSandResult);

  // Interrupted while its input is still open: killed by the signal, the old
  // table intact, no temporary file left.
  int in[2];
  ASSERT_EQ(pipe(in), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    close(in[0]);
    close(in[1]);
    execl(RECHARGE_TABLE_BINARY, RECHARGE_TABLE_BINARY, "-q", "-o", output.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  const std::string rows = kHeader + kSand + kSand;
  ASSERT_EQ(write(in[1], rows.data(), rows.size()), static_cast<ssize_t>(rows.size()));
  while (Entries(folder).size() < 4) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  close(in[1]);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(Slurp(output), kResultHeader + kSandResult);
  EXPECT_EQ(Entries(folder), (std::set<std::string>{".", "..", "results.csv"}));
  unlink(output.c_str());
  rmdir(folder.c_str());
}

}  // namespace
}  // namespace recharge::testing
