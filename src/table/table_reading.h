// A CSV table of soils read as recharge-table reads it (csv_reader.h,
// cell_number.h, column_map.h), for the read_table of the Python and R
// packages: every cell of an input field's column the very double the table
// computes with, in the model's unit, every cell it could not read kept with
// the row's input error, and the input line of every row, so that a frame of
// it gives each row the table's status.
//
//   id,P [mm],zr,...          columns id (text), P [cm] (numbers: 60.5), zr
//   a,605,6o,...              (numbers: NaN, refused "6o" with the reason
//                             zr: "6o" is not a number)
//   b,"60                     every number column refused for row b with
//                             "unterminated quote"; id b
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "balance/column_units.h"
#include "balance/soil_case.h"
#include "table/cell_number.h"

namespace recharge::table {

struct TableColumn {
  // As the header names it, a unit given replaced by the model's one: "P [cm]"
  // for "P [mm]", or for "P" read in a common unit, whose cells are converted.
  std::string name;
  std::optional<InputField> field;                 // an input field's column: `values`, else `text`
  std::vector<double> values;                      // NaN for an empty cell and a refused one
  std::vector<std::string> text;                   // every cell as read
  std::vector<std::size_t> refused;                // numbers only: the rows of the cells not read,
  std::vector<std::string> refused_text, reasons;  // each cell as it stands, and why
};

struct SoilTable {
  std::vector<TableColumn> columns;
  std::vector<std::size_t> lines;  // the input line each row starts on, from 1
};

// With the units of `options` as recharge-table's --units and --output-units
// (the latter only checked: the results' unit is the caller's to apply).
// False with `problem` when the table cannot be read at all: a read failure
// (`error_number` its errno, else 0), no header, a malformed header, a column
// twice or a required one missing, a unit of the wrong kind; as
// recharge-table says it of `input_name`.
bool ReadSoilTable(int fd, std::optional<DecimalMark> decimal, std::string_view input_name,
                   const UnitOptions& options, SoilTable& table, std::string& problem,
                   int& error_number);

}  // namespace recharge::table
