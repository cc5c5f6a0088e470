// The columns of a table of soils: which field of a soil (input_fields.h:
// the fields' names, what they mean, which are required), or the row's id, a
// label copied to the output, stands where among the names of a table's
// header, a data frame's columns or a dataset's variables. Names are matched
// without regard to case ("Anaerobiosis" is anaerobiosis, "cs" is Cs), as
// given (a table's reader has dropped the blanks around them); every known
// name stays distinct that way.
//
// The required fields must be there; every other known column may be absent.
// A column that is not known is ignored, and named in a notice together with
// a known name it resembles (one letter added, dropped or changed), so that a
// misspelt column is not silently lost:
//   "clas" -> "ignoring the column clas (did you mean class?)"
//
// A name may carry its unit at its end, in square brackets or parentheses
// ("P [mm]", "zgw(m)"): the name is matched without it, and the unit is the
// caller's to read (field_units.h).
//
// The messages name what holds the names and what each name is, in the
// words of the caller: "the header has no column zr (it has z_r)", "the
// dataset has the variable P twice (P and p)".
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "balance/soil_case.h"

namespace recharge {

inline constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

struct ColumnMap {
  std::array<std::size_t, kInputFieldCount> index;  // or kAbsent
  std::size_t id = kAbsent;
  std::size_t fields = 0;  // fields of the header

  std::size_t operator[](InputField field) const { return index[static_cast<int>(field)]; }
  bool Has(InputField field) const { return (*this)[field] != kAbsent; }
};

struct NameWords {
  std::string_view holder;  // "header", "frame", "dataset"
  std::string_view name;    // "column", "variable"
  bool with_id;             // whether "id" is a known name
};

inline constexpr NameWords kHeaderWords = {"header", "column", true};

struct NameAndUnit {
  std::string_view name;  // "P"
  std::string_view unit;  // "mm"; empty when none is given
};

// "P [mm]" -> P, mm   "zgw (m)" -> zgw, m   "P" -> P, none   "P []" -> P, none
// Blanks around the name and the unit are dropped.
NameAndUnit SplitUnit(std::string_view name);

// Maps `names`; an empty name is neither known nor ignored. False, with
// `problem` naming every required field that is missing (and a name close to
// it) or the known name that appears twice. `notice` names the ignored
// names, or is empty.
bool MapColumns(std::span<const std::string_view> names, const NameWords& words, ColumnMap& map,
                std::string& problem, std::string& notice);

}  // namespace recharge
