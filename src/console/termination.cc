#include "console/termination.h"

#include <unistd.h>

#include "console/console.h"
#include "console/output_channel.h"

namespace recharge {

namespace {

// Appends `text` to a fixed buffer; reports are built without allocating so
// that the trap handler can make them too.
class ReportText {
 public:
  ReportText& operator<<(std::string_view text) {
    for (char c : text) {
      if (length_ < sizeof text_) text_[length_++] = c;
    }
    return *this;
  }
  ReportText& operator<<(int number) {
    const char digits[] = {
        static_cast<char>('0' + number / 1000 % 10), static_cast<char>('0' + number / 100 % 10),
        static_cast<char>('0' + number / 10 % 10), static_cast<char>('0' + number % 10)};
    return *this << std::string_view(digits, sizeof digits);
  }
  std::string_view View() const { return {text_, length_}; }

 private:
  char text_[256];
  std::size_t length_ = 0;
};

// Standard output first gets what it was still holding, then the report goes
// to standard error, then the units are closed. Failures on standard output
// no longer matter here: the run already ends with status 1.
[[noreturn]] void ExitWithReport(const ReportText& report) {
  Console* console = Console::Current();
  if (console != nullptr) console->Flush();
  WriteAll(STDERR_FILENO, report.View());
  if (console != nullptr) console->Close();
  _exit(1);
}

}  // namespace

void Stop(int status) {
  Console* console = Console::Current();
  if (console != nullptr && !(console->WriteStopText() && console->Close())) {
    ReportRuntimeError(RuntimeError::kWriteFailure);
  }
  _exit(status);
}

void ReportRuntimeError(RuntimeError error) {
  const RuntimeErrorInfo& info = Describe(error);
  ReportText report;
  report << "\r\nrun-time error F" << info.number
         << (info.statement == Statement::kRead ? ": READ(" : ": WRITE(") << "CON)\r\n- "
         << info.message << "\r\n";
  ExitWithReport(report);
}

void ReportMathError(int number, std::string_view message) {
  ReportText report;
  report << "\r\nrun-time error M" << number << ": MATH\r\n- " << message << "\r\n";
  ExitWithReport(report);
}

}  // namespace recharge
