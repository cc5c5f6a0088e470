// The columns of an input table: which known column stands where in the
// header. Names are matched exactly, after the reader has dropped the blanks
// around them; amounts are in cm, alpha in 1/cm.
//
//   id        label of the row, copied to the output
//   P ETp     annual precipitation and potential evapotranspiration
//   Ps ETps   the same for summer
//   Cs        coefficient of simultaneity; when empty, derived from
//   rain4..rain9 etp4..etp9   the monthly values of April to September
//   zr zgw    root zone depth, depth to groundwater
//   class     soil class 1 to 34, or 0 for the own parameters
//   theta_r theta_s alpha n p1 p2   own parameters, read for class 0
//   anaerobiosis   1: severe anaerobiosis expected; 0 or empty: not
//
// P, ETp, Ps, ETps, zr, zgw and class are required; every other known column
// may be absent. A column that is not known is ignored.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace recharge::table {

enum class Column {
  kId,
  kP,
  kETp,
  kPs,
  kETps,
  kCs,
  kRain4,              // rain4 .. rain9 in order
  kEtp4 = kRain4 + 6,  // etp4 .. etp9 in order
  kZr = kEtp4 + 6,
  kZgw,
  kClass,
  kThetaR,
  kThetaS,
  kAlpha,
  kN,
  kP1,
  kP2,
  kAnaerobiosis,
  kCount,
};

inline constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

// The header's name of a column.
std::string_view ColumnName(Column column);

struct ColumnMap {
  std::array<std::size_t, static_cast<std::size_t>(Column::kCount)> index;  // or kAbsent
  std::size_t fields = 0;                                                   // fields of the header
  std::vector<std::string> unknown;  // names of the ignored columns, in order

  std::size_t operator[](Column column) const { return index[static_cast<std::size_t>(column)]; }
  bool Has(Column column) const { return (*this)[column] != kAbsent; }
};

// Maps a header. False, with `problem` naming the column, when a required
// column is missing or a known one appears twice.
bool MapColumns(const std::vector<std::string_view>& header, ColumnMap& map, std::string& problem);

}  // namespace recharge::table
