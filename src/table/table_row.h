// One row of a table: its cells read into the inputs of one soil, the soil
// run through the model with its faults as values, and its output cells.
//
// A row is the same as a fresh dialogue answered with its values: Cs as
// typed when the Cs cell holds a number, otherwise derived from the twelve
// monthly cells; a class from the table, or class 0 with the six own
// parameters. Every number it shows is the very double the dialogue computes.
//
// Output cells, in order: [id,] Cs, FC, WP, Wmax, qmax, method, nB, h_an, g,
// ETa, R, status. A cell holds its value once the step that computes it has
// finished without a fault; h_an without anaerobiosis, g on the Bagrov path,
// nB on the regression's and every step not reached are empty. The status is
// "ok", "no convergence", the report the dialogue would end with
// ("M6201 pow: DOMAIN error"), or "input error: " and what is wrong.
//
//   P 60, ETp 55, Ps 30, ETps 40, Cs 0.3, zr 60, zgw 200, class 1 ->
//   0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,
//   0.008553961197027261,bagrov,3.7118658444938797,,,48.79369975234298,
//   11.206300247657019,ok
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "balance/soil_balance.h"
#include "table/table_columns.h"

namespace recharge::table {

enum class RowStatus { kOk, kNoConvergence, kFault, kInputError };

// A row as read: its fields' bytes, copied so that rows can be worked on in
// parallel after the reader has moved on.
struct RawRow {
  std::string bytes;              // the fields one after another
  std::vector<std::size_t> ends;  // where each field ends in `bytes`
  std::size_t line = 0;           // the input line the row starts on
  std::string error;              // the reader's complaint, if any

  std::string_view Field(std::size_t index) const;
};

struct RowResult {
  RowStatus status = RowStatus::kInputError;
  std::string message;  // input error only: what is wrong
  RuntimeError fault = RuntimeError::kNone;
  bool cs_typed = false;
  std::uint32_t finished = 0;  // bit i: SoilStep i finished
  SoilRecord record{};
};

// Reads and computes one row.
RowResult ComputeRow(const RawRow& row, const ColumnMap& columns, bool decimal_comma);

// The output header and one output row, with their line ends.
void AppendOutputHeader(const ColumnMap& columns, char delimiter, std::string& out);
void AppendOutputRow(const RawRow& row, const RowResult& result, const ColumnMap& columns,
                     char delimiter, bool decimal_comma, std::string& out);

}  // namespace recharge::table
