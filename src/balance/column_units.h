// The units of a table's columns: each input column's unit, from its header
// name ("P [mm]", "zgw (m)") or else, for the climate amounts and depths,
// from a common unit (recharge-table's --units); and the unit of the results'
// lengths (--output-units: Wmax, ETa and R; qmax stays in cm/d, h_an in cm).
// A column without a unit is in the model's unit, and then nothing changes:
// no unit database is read, and the output header is the plain one.
//
//   header P [mm],zgw (m),zr,...  common mm   -> P shift -1, zgw shift 2,
//   zr shift -1; output header "...,Wmax [cm],...,ETa [cm/a],R [cm/a],status"
//   header zgw [1/m]  -> "column zgw [1/m]: zgw takes a length (mm, cm, m,
//   in, ...), not \"1/m\""
//
// The same rules read a frame's columns and a Dataset's variables, whose
// unit may also be given apart from the name (a units attribute, a unit
// chosen in a dialog): see NamedUnit.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "balance/column_map.h"
#include "balance/field_units.h"

namespace recharge {

struct ColumnUnits {
  std::array<UnitScale, kInputFieldCount> in{};  // each field's to the model's unit
  UnitScale out;                                 // the results' lengths from cm
  std::string length = "cm";                     // the results' length unit, as the header names it
  bool named = false;                            // whether the output header names every unit
};

struct UnitOptions {
  std::string_view common;  // of the climate and depth columns whose name gives none
  std::string_view output;  // of the results' lengths; empty: cm
  // How messages name them: "--units", "--output-units" for the table.
  std::string_view common_name, output_name;
};

// False with `problem`, one line naming the input and the column, or the
// option, or the unit database that cannot be read.
bool ResolveUnits(std::span<const std::string_view> names, const ColumnMap& columns,
                  const UnitOptions& options, std::string_view input_name, ColumnUnits& units,
                  std::string& problem);

// The unit of the column `name` of `field` when `given` gives one apart from
// the name (`given_name` saying what: "the units attribute", "the unit
// chosen"): the name's, else `given`. False with `problem` (without the
// name, which the caller gives as it calls it) when either is no unit that
// `field` takes, or both give one and a value of `field` means other amounts
// in them; "mm" and "millimeter" agree, as do "mm" and "mm/a" for P.
//   "P [mm]", "m", "the units attribute" -> "the name gives the unit mm,
//   the units attribute m"
bool NamedUnit(const FieldUnits& reader, std::string_view name, InputField field,
               std::string_view given, std::string_view given_name, std::string& unit,
               std::string& problem);

}  // namespace recharge
