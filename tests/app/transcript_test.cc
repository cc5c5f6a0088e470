// A whole run of the program against one transcript of transcripts/*.txt,
// named on the command line: `transcript_test FILE`. The build registers one
// test for each transcript file it finds, so a new file runs with the next
// build and test run.
//
// A transcript holds, after its comment lines, four sections:
//   <<< stdin          lines typed, each ending in a line feed
//                      ("<<< stdin without final line feed": the last has none)
//   >>> stdout         lines shown, each ending in CR LF
//   >>> stderr         the same for standard error
//   >>> exit N         the exit status
// In the input, <TAB>, <CR> and <CTRL-Z> stand for those bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run_program.h"

namespace recharge::testing {
namespace {

struct Transcript {
  std::string input;
  std::string out;
  std::string err;
  int status = -1;
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

Transcript Load(const std::filesystem::path& path) {
  Transcript t;
  std::ifstream file(path);
  std::string line;
  std::string* section = nullptr;
  std::string line_end;
  bool final_line_feed = true;
  while (std::getline(file, line)) {
    if (line.rfind("<<< stdin", 0) == 0) {
      section = &t.input;
      line_end = "\n";
      final_line_feed = line.find("without final line feed") == std::string::npos;
    } else if (line == ">>> stdout") {
      section = &t.out;
      line_end = "\r\n";
    } else if (line == ">>> stderr") {
      section = &t.err;
      line_end = "\r\n";
    } else if (line.rfind(">>> exit ", 0) == 0) {
      t.status = std::stoi(line.substr(9));
      section = nullptr;
    } else if (section == &t.input) {
      line =
          ReplaceAll(ReplaceAll(ReplaceAll(line, "<TAB>", "\t"), "<CR>", "\r"), "<CTRL-Z>", "\x1a");
      *section += line + line_end;
    } else if (section != nullptr) {
      *section += line + line_end;
    }
  }
  if (!final_line_feed && !t.input.empty()) t.input.pop_back();
  return t;
}

const char* transcript_path = nullptr;

TEST(Transcript, MatchesByteForByte) {
  const Transcript t = Load(transcript_path);
  ASSERT_GE(t.status, 0) << transcript_path << " has no exit status";
  const ProgramRun run = RunProgram({.input = t.input});
  EXPECT_EQ(run.out, t.out);
  EXPECT_EQ(run.err, t.err);
  EXPECT_EQ(run.status, t.status);
}

}  // namespace
}  // namespace recharge::testing

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: transcript_test FILE\n");
    return 2;
  }
  recharge::testing::transcript_path = argv[1];
  return RUN_ALL_TESTS();
}
