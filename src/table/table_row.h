// One row of a table: its cells read into one soil (soil_case.h), the soil
// run through the model with its faults as values, and its output cells
// (soil_results.h).
//
// A row is the same as a fresh dialogue answered with its values: Cs as
// typed when the Cs cell holds a number, otherwise derived from the twelve
// monthly cells; a class from the table, or class 0 with the six own
// parameters. Every number it shows is the very double the dialogue computes.
//
// Output cells, in order: [id,] the result columns (Cs, FC, WP, Wmax, qmax,
// method, nB, h_an, g, ETa, R), status. The status is "ok", "no
// convergence", the report the dialogue would end with ("M6201 pow: DOMAIN
// error"), or "input error: line N: " and what is wrong, naming the cell:
//   input error: line 17: zr: "6o" is not a number
// Bytes of a quoted cell that do not print are shown escaped: "\x00", a
// no-break space "\u00a0".
//
//   P 60, ETp 55, Ps 30, ETps 40, Cs 0.3, zr 60, zgw 200, class 1 ->
//   0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,
//   0.008553961197027261,bagrov,3.7118658444938797,,,48.79369975234298,
//   11.206300247657019,ok
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "balance/column_map.h"
#include "balance/column_units.h"
#include "balance/soil_results.h"
#include "table/cell_number.h"

namespace recharge::table {

// A row as read: its fields' bytes, copied so that rows can be worked on in
// parallel after the reader has moved on.
struct RawRow {
  std::string bytes;              // the fields one after another
  std::vector<std::size_t> ends;  // where each field ends in `bytes`
  std::size_t line = 0;           // the input line the row starts on
  std::string error;              // the reader's complaint, if any
  std::string id;                 // with an error and no fields: the id, if the reader read it

  std::string_view Field(std::size_t index) const;
};

struct RowResult {
  SoilPass pass;
  std::string message;  // input error only: what is wrong
};

// Reads and computes one row, whose numbers use `mark`, each converted from
// its column's unit.
RowResult ComputeRow(const RawRow& row, const ColumnMap& columns, const ColumnUnits& units,
                     DecimalMark mark);

// The output header and one output row, with their line ends. The header
// names each result's unit where `units` says so ("ETa [mm/a]"), and Wmax,
// ETa and R are in the results' length unit.
void AppendOutputHeader(const ColumnMap& columns, const ColumnUnits& units, char delimiter,
                        std::string& out);
void AppendOutputRow(const RawRow& row, const RowResult& result, const ColumnMap& columns,
                     const ColumnUnits& units, char delimiter, DecimalMark mark, std::string& out);

}  // namespace recharge::table
