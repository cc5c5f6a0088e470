// The console: the units through which the dialogue writes its records and
// reads its answers.
//
// When standard input and standard output are both terminals they share one
// unit, so the line end typed with an answer counts as the end of the prompt's
// line and the next record starts directly on the fresh line. Otherwise
// standard output has a unit of its own, whose pending prompt line still gets
// its CR LF before the next record.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "console/console_unit.h"
#include "console/line_reader.h"
#include "console/list_directed_input.h"
#include "console/list_directed_output.h"
#include "console/output_channel.h"
#include "console/record_sink.h"
#include "runtime/termination.h"

namespace recharge {

// A target of a READ: a double or a 32-bit integer.
struct ReadTarget {
  ReadTarget(double& real) : real(&real) {}
  ReadTarget(std::int32_t& integer) : integer(&integer) {}

  double* real = nullptr;
  std::int32_t* integer = nullptr;
};

// The stop and the run-time reports reach the console through the
// termination hooks it registers when it is opened.
class Console : private RecordSink, private TerminationHooks {
 public:
  // Opens the units on standard input and output; one console per process.
  static Console& Open();

  // One list-directed WRITE statement.
  void Write(std::initializer_list<ListItem> items);
  // One formatted WRITE statement.
  void WriteFormatted(std::string_view format, std::initializer_list<double> values);
  // One list-directed READ statement.
  void Read(std::initializer_list<ReadTarget> targets);

 private:
  Console(bool input_terminal, bool output_terminal);
  void Record(std::string_view record) override;

  // The stop text, after a CR LF when a line is pending; the flag stays.
  bool WriteStopText() override;
  // Writes what standard output still holds; false if that failed.
  bool Flush() override;
  // Ends a pending line with CR LF and writes what is left.
  bool Close() override;

  ConsoleUnit input_unit_;
  ConsoleUnit separate_output_unit_;
  ConsoleUnit& output_unit_;
  OutputChannel out_;
  LineReader lines_;
  ListDirectedReader reader_;
};

}  // namespace recharge
