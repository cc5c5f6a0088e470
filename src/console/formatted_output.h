// Formatted output: a format text interpreted left to right against a list
// of doubles. The descriptors understood are the ones the program's formats
// use: quoted literals ('' inside stands for one quote), nX, /, Fw.d and Ew.d,
// separated by commas and enclosed in parentheses.
//
// A formatted record gets no automatic leading blank: its first character is
// its carriage control. "/" writes the record so far and starts an empty one;
// the record under construction is written when the format ends, even if it
// is empty. Processing stops at the first F or E that has no value left.
//
//   "(2X,' qmax= ',E8.3,' cm/d',/)" with 1.0 -> records "  qmax= .100E+01 cm/d", ""
#pragma once

#include <initializer_list>
#include <string_view>

#include "console/record_sink.h"

namespace recharge {

void BuildFormattedRecords(std::string_view format, std::initializer_list<double> values,
                           RecordSink& sink);

}  // namespace recharge
