// Runs whose standard streams fail or overflow: each ends with its report and
// exit status 1, and never with a crash or a hang.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "run_program.h"

namespace recharge::testing {
namespace {

const std::string kBanner =
    "    \r\n"
    " ***************************************************\r\n"
    " Prediction of average long-term actual             \r\n"
    " evapotranspiration and groundwater recharge of     \r\n"
    " grass-covered soils on sites without fast runoff   \r\n"
    " ***************************************************\r\n"
    "  \r\n"
    " Long-term average annual precipitation \r\n"
    " and potential evapotranspiration, cm ";

std::string Report(const std::string& number_and_statement, const std::string& message) {
  return "\r\nrun-time error F" + number_and_statement + "\r\n- " + message + "\r\n";
}

const std::string kWriteFailure = Report("6320: WRITE(CON)", "failure writing standard output");

TEST(FailingStreams, InputLineLimitIs4096BytesWithTheLineFeed) {
  // 4095 characters and the line feed fit: P and ETp are read, then the input
  // ends at the next prompt.
  const std::string longest = "60" + std::string(4091, ' ') + "55";
  ASSERT_EQ(longest.size(), 4095u);
  ProgramRun run = RunProgram({.input = longest + "\n"});
  EXPECT_EQ(run.err, Report("6301: READ(CON)", "end of file encountered"));
  EXPECT_EQ(run.status, 1);

  run = RunProgram({.input = longest + " \n"});
  EXPECT_EQ(run.out, kBanner + "\r\n");
  EXPECT_EQ(run.err, Report("6303: READ(CON)", "input line longer than 4095 characters"));
  EXPECT_EQ(run.status, 1);
}

TEST(FailingStreams, UnreadableInputIsAReadFailure) {
  const ProgramRun run = RunProgram({.stdin_path = "/"});  // read(2) of a directory fails
  EXPECT_EQ(run.out, kBanner + "\r\n");
  EXPECT_EQ(run.err, Report("6302: READ(CON)", "failure reading standard input"));
  EXPECT_EQ(run.status, 1);
}

TEST(FailingStreams, FullDeviceIsAWriteFailure) {
  const ProgramRun run = RunProgram({.input = "60 55\n", .stdout_path = "/dev/full"});
  EXPECT_EQ(run.err, kWriteFailure);
  EXPECT_EQ(run.status, 1);
}

TEST(FailingStreams, ClosedPipeIsAWriteFailure) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  const ProgramRun run = RunProgram({.input = "60 55\n", .stdout_fd = fds[1]});
  close(fds[1]);
  EXPECT_EQ(run.err, kWriteFailure);
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace recharge::testing
