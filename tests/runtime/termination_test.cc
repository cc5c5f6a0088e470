#include "runtime/termination.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace recharge {
namespace {

TEST(TerminationTest, RuntimeErrorReportNamesStatementAndUnit) {
  EXPECT_EXIT(ReportRuntimeError(RuntimeError::kEndOfFile), ::testing::ExitedWithCode(1),
              ::testing::StrEq("\r\nrun-time error F6301: READ(CON)\r\n"
                               "- end of file encountered\r\n"));
  EXPECT_EXIT(ReportRuntimeError(RuntimeError::kWriteFailure), ::testing::ExitedWithCode(1),
              ::testing::StrEq("\r\nrun-time error F6320: WRITE(CON)\r\n"
                               "- failure writing standard output\r\n"));
}

}  // namespace
}  // namespace recharge
