// The units of a table's columns: each input column's unit, from its header
// name ("P [mm]", "zgw (m)") or else, for the climate amounts and depths,
// from --units; and the unit of the results' lengths from --output-units
// (Wmax, ETa and R; qmax stays in cm/d, h_an in cm). A column without a unit
// is in the model's unit, and then nothing changes: no unit database is
// read, and the output header is the plain one.
//
//   header P [mm],zgw (m),zr,...  --units mm   -> P shift -1, zgw shift 2,
//   zr shift -1; output header "...,Wmax [cm],...,ETa [cm/a],R [cm/a],status"
//   header zgw [1/m]  -> "column zgw [1/m]: zgw takes a length (mm, cm, m,
//   in, ...), not \"1/m\""
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "balance/column_map.h"
#include "balance/field_units.h"
#include "table/table_options.h"

namespace recharge::table {

struct ColumnUnits {
  std::array<UnitScale, kInputFieldCount> in{};  // each field's to the model's unit
  UnitScale out;                                 // the results' lengths from cm
  std::string length = "cm";                     // the results' length unit, as the header names it
  bool named = false;                            // whether the output header names every unit
};

// False with `problem`, one line naming the input and the column, or the
// option, or the unit database that cannot be read.
bool ResolveUnits(std::span<const std::string_view> names, const ColumnMap& columns,
                  const Options& options, std::string_view input_name, ColumnUnits& units,
                  std::string& problem);

}  // namespace recharge::table
