#include "console/console.h"

#include <unistd.h>

#include "console/carriage_control.h"
#include "console/formatted_output.h"
#include "runtime/is_terminal.h"

namespace recharge {

namespace {

void Check(RuntimeError error) {
  if (error != RuntimeError::kNone) ReportRuntimeError(error);
}

}  // namespace

Console& Console::Open() {
  static Console console(IsTerminal(STDIN_FILENO), IsTerminal(STDOUT_FILENO));
  SetTerminationHooks(&console);
  return console;
}

Console::Console(bool input_terminal, bool output_terminal)
    : output_unit_(input_terminal && output_terminal ? input_unit_ : separate_output_unit_),
      out_(STDOUT_FILENO, output_terminal),
      lines_(STDIN_FILENO, out_, input_unit_),
      reader_(lines_) {}

void Console::Record(std::string_view record) {
  // An empty record is written as one blank: an empty line.
  if (record.empty()) record = " ";
  const std::string_view advance = LineAdvance(record[0], output_unit_.pending_line);
  if (!out_.Write(advance, record.substr(1))) ReportRuntimeError(RuntimeError::kWriteFailure);
  output_unit_.pending_line = true;
}

void Console::Write(std::initializer_list<ListItem> items) { BuildListRecords(items, *this); }

void Console::WriteFormatted(std::string_view format, std::initializer_list<double> values) {
  BuildFormattedRecords(format, values, *this);
}

void Console::Read(std::initializer_list<ReadTarget> targets) {
  reader_.Begin();
  for (const ReadTarget& target : targets) {
    Check(target.real != nullptr ? reader_.Transfer(*target.real)
                                 : reader_.Transfer(*target.integer));
  }
  reader_.End();
}

bool Console::WriteStopText() {
  const std::string_view advance = output_unit_.pending_line ? "\r\n" : "";
  return out_.Write(advance, "Stop - Program terminated.\r\n");
}

bool Console::Flush() { return out_.Flush(); }

bool Console::Close() {
  std::string_view line_end;
  if (output_unit_.pending_line) {
    output_unit_.pending_line = false;
    line_end = "\r\n";
  }
  return out_.Write(line_end, "") && out_.Flush();
}

}  // namespace recharge
