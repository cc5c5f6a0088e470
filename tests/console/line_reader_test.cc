#include "console/line_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/descriptor_io.h"

namespace recharge {
namespace {

// A pipe that already holds `bytes` and whose write end is closed.
int PipeHolding(const std::string& bytes) {
  int ends[2];
  EXPECT_EQ(pipe(ends), 0);
  EXPECT_TRUE(WriteAll(ends[1], bytes));
  close(ends[1]);
  return ends[0];
}

TEST(LineReaderTest, LinesUntilTheEndOfInput) {
  const std::string longest(4095, 'x');
  const struct {
    std::string input;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\nb\r\n", {"a\n", "b\r\n"}},
      {"\n5", {"\n", "5\n"}},
      {"\x1a\n7\n", {}},
      {"\x1a\r\n", {}},
      {"5\n\x1a", {"5\n"}},
      {"a\x1az\n", {"a\x1az\n"}},
      {longest, {longest + "\n"}},
      // The second line arrives in two reads of the buffer.
      {"a\n" + longest + "\n", {"a\n", longest + "\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 8));
    const int fd = PipeHolding(c.input);
    OutputChannel out(STDOUT_FILENO, false);
    ConsoleUnit unit;
    LineReader reader(fd, out, unit);
    std::string_view line;
    for (const std::string& expected : c.lines) {
      ASSERT_EQ(reader.NextLine(line), RuntimeError::kNone);
      EXPECT_EQ(line, expected);
    }
    EXPECT_EQ(reader.NextLine(line), RuntimeError::kEndOfFile);
    close(fd);
  }
}

// A line that ends the input or does not fit is not consumed: the flag stays.
TEST(LineReaderTest, OnlyAConsumedLineClearsThePendingLine) {
  const std::string too_long(4096, 'x');
  const struct {
    std::string next;
    RuntimeError error;
  } cases[] = {
      {"\x1a\n", RuntimeError::kEndOfFile},
      {too_long + "\n", RuntimeError::kLineTooLong},
      {too_long, RuntimeError::kLineTooLong},
  };
  for (const auto& c : cases) {
    const int fd = PipeHolding("5\n" + c.next);
    OutputChannel out(STDOUT_FILENO, false);
    ConsoleUnit unit{true};
    LineReader reader(fd, out, unit);
    std::string_view line;
    ASSERT_EQ(reader.NextLine(line), RuntimeError::kNone);
    EXPECT_FALSE(unit.pending_line);
    unit = ConsoleUnit{true};
    EXPECT_EQ(reader.NextLine(line), c.error);
    EXPECT_TRUE(unit.pending_line);
    close(fd);
  }
}

TEST(LineReaderTest, GatheredOutputIsWrittenBeforeTheRead) {
  int output[2];
  ASSERT_EQ(pipe(output), 0);
  ASSERT_EQ(fcntl(output[0], F_SETFL, O_NONBLOCK), 0);
  OutputChannel out(output[1], false);
  ASSERT_TRUE(out.Write("\r\n", " Answer: "));
  char bytes[32];
  EXPECT_EQ(read(output[0], bytes, sizeof bytes), -1);  // still gathered

  const int fd = PipeHolding("1\n");
  ConsoleUnit unit;
  LineReader reader(fd, out, unit);
  std::string_view line;
  ASSERT_EQ(reader.NextLine(line), RuntimeError::kNone);
  const ssize_t got = read(output[0], bytes, sizeof bytes);
  EXPECT_EQ(std::string(bytes, got > 0 ? static_cast<std::size_t>(got) : 0), "\r\n Answer: ");
  close(fd);
  close(output[0]);
  close(output[1]);
}

TEST(LineReaderTest, FailuresOfTheStreams) {
  // Reading the write end of a pipe fails.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  OutputChannel out(STDOUT_FILENO, false);
  ConsoleUnit unit;
  std::string_view line;
  EXPECT_EQ(LineReader(ends[1], out, unit).NextLine(line), RuntimeError::kReadFailure);
  close(ends[0]);
  close(ends[1]);

  // Output that cannot be written before the read.
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  OutputChannel refused(full, false);
  ASSERT_TRUE(refused.Write("", "prompt"));
  const int fd = PipeHolding("1\n");
  EXPECT_EQ(LineReader(fd, refused, unit).NextLine(line), RuntimeError::kWriteFailure);
  close(fd);
  close(full);
}

}  // namespace
}  // namespace recharge
