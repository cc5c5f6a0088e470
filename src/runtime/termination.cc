#include "runtime/termination.h"

#include <unistd.h>

#include "runtime/descriptor_io.h"
#include "runtime/report_text.h"

namespace recharge {

namespace {

TerminationHooks* registered = nullptr;

std::string_view StatementPart(Statement statement) {
  switch (statement) {
    case Statement::kRead:
      return ": READ(CON)\r\n- ";
    case Statement::kWrite:
      return ": WRITE(CON)\r\n- ";
    case Statement::kMath:
      break;
  }
  return ": MATH\r\n- ";
}

}  // namespace

void SetTerminationHooks(TerminationHooks* hooks) { registered = hooks; }

void Stop(int status) {
  if (registered != nullptr && !(registered->WriteStopText() && registered->Close())) {
    ReportRuntimeError(RuntimeError::kWriteFailure);
  }
  _exit(status);
}

// Standard output first gets what it was still holding, then the report goes
// to standard error, then the console is closed. Failures on standard output
// no longer matter here: the run already ends with status 1.
void ReportRuntimeError(RuntimeError error) {
  const RuntimeErrorInfo& info = Describe(error);
  ReportText report;
  report << "\r\nrun-time error " << info.letter << info.number << StatementPart(info.statement)
         << info.message << "\r\n";
  if (registered != nullptr) registered->Flush();
  WriteAll(STDERR_FILENO, report.View());
  if (registered != nullptr) registered->Close();
  _exit(1);
}

}  // namespace recharge
