#include "console/runtime_error.h"

namespace recharge {

namespace {

// Indexed by RuntimeError; kNone has no report.
constexpr RuntimeErrorInfo kTable[] = {
    {0, Statement::kRead, ""},
    {6301, Statement::kRead, "end of file encountered"},
    {6302, Statement::kRead, "failure reading standard input"},
    {6303, Statement::kRead, "input line longer than 4095 characters"},
    {6304, Statement::kRead, "invalid repeat count"},
    {6305, Statement::kRead, "invalid character in integer"},
    {6306, Statement::kRead, "integer overflow"},
    {6307, Statement::kRead, "invalid radix in integer"},
    {6308, Statement::kRead, "invalid real number"},
    {6309, Statement::kRead, "characters after real number"},
    {6310, Statement::kRead, "real number overflow"},
    {6311, Statement::kRead, "quoted or complex constant where a number is expected"},
    {6320, Statement::kWrite, "failure writing standard output"},
};

static_assert(std::size(kTable) == static_cast<std::size_t>(RuntimeError::kWriteFailure) + 1);

}  // namespace

const RuntimeErrorInfo& Describe(RuntimeError error) {
  return kTable[static_cast<std::size_t>(error)];
}

}  // namespace recharge
