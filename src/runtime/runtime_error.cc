#include "runtime/runtime_error.h"

#include "runtime/report_text.h"

namespace recharge {

namespace {

// Indexed by RuntimeError; kNone has no report.
constexpr RuntimeErrorInfo kTable[] = {
    {'F', 0, Statement::kRead, ""},
    {'F', 6301, Statement::kRead, "end of file encountered"},
    {'F', 6302, Statement::kRead, "failure reading standard input"},
    {'F', 6303, Statement::kRead, "input line longer than 4095 characters"},
    {'F', 6304, Statement::kRead, "invalid repeat count"},
    {'F', 6305, Statement::kRead, "invalid character in integer"},
    {'F', 6306, Statement::kRead, "integer overflow"},
    {'F', 6307, Statement::kRead, "invalid radix in integer"},
    {'F', 6308, Statement::kRead, "invalid real number"},
    {'F', 6309, Statement::kRead, "characters after real number"},
    {'F', 6310, Statement::kRead, "real number overflow"},
    {'F', 6311, Statement::kRead, "quoted or complex constant where a number is expected"},
    {'F', 6320, Statement::kWrite, "failure writing standard output"},
    {'M', 6101, Statement::kMath, "floating-point error: invalid"},
    {'M', 6103, Statement::kMath, "floating-point error: divide by zero"},
    {'M', 6104, Statement::kMath, "floating-point error: overflow"},
    {'M', 6201, Statement::kMath, "pow: DOMAIN error"},
    {'M', 6202, Statement::kMath, "pow: SING error"},
    {'M', 6203, Statement::kMath, "pow: OVERFLOW error"},
    {'M', 6201, Statement::kMath, "exp: DOMAIN error"},
    {'M', 6202, Statement::kMath, "exp: SING error"},
    {'M', 6203, Statement::kMath, "exp: OVERFLOW error"},
    {'M', 6201, Statement::kMath, "sqrt: DOMAIN error"},
    {'M', 6202, Statement::kMath, "sqrt: SING error"},
    {'M', 6203, Statement::kMath, "sqrt: OVERFLOW error"},
};

static_assert(std::size(kTable) == static_cast<std::size_t>(RuntimeError::kSqrtOverflow) + 1);

}  // namespace

const RuntimeErrorInfo& Describe(RuntimeError error) {
  return kTable[static_cast<std::size_t>(error)];
}

std::string ReportLine(RuntimeError error) {
  const RuntimeErrorInfo& info = Describe(error);
  ReportText text;
  text << info.letter << info.number << ' ' << info.message;
  return std::string(text.View());
}

}  // namespace recharge
