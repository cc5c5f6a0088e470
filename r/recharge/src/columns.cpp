// Which input stands where among the names of a call's arguments, a frame's
// columns or a raster call's layers, and in which unit, by the table's header
// rules (column_map.h, column_units.h): names without regard to case, a unit
// at a name's end ("P [mm]"), else the unit its value carries (a units
// object, a layer's units), else the common unit for the climate amounts and
// depths (recharge-table's --units).
#include <Rcpp.h>

#include <string>
#include <vector>

#include "balance/column_map.h"
#include "balance/column_units.h"
#include "field_scales.h"

using namespace recharge;

// names: every column; given: the unit each one's value carries, NA for
// none, and given_names what gives it ("the units object"); common: the
// common unit, "" for none; output_units: "" for cm. Every unit is checked.
// -> list(position: by field, its column from 1 or NA; unit: by field, NA
//    for the model's; id: the id's column or NA; notice: the names ignored,
//    "" for none). An R error for a required name missing, a name twice, a
//    unit refused.
// [[Rcpp::export]]
Rcpp::List map_columns(std::vector<std::string> names, Rcpp::CharacterVector given,
                       std::vector<std::string> given_names, std::string common, std::string holder,
                       std::string word, bool with_id, std::string output_units) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  ColumnMap map;
  std::string problem, notice;
  if (!MapColumns(views, {holder, word, with_id}, map, problem, notice)) Rcpp::stop(problem);
  Rcpp::IntegerVector position(kInputFieldCount, NA_INTEGER);
  Rcpp::CharacterVector units(kInputFieldCount, NA_STRING);
  for (int f = 0; f < kInputFieldCount; ++f) {
    const InputField field = static_cast<InputField>(f);
    if (!map.Has(field)) continue;
    const std::size_t index = map[field];
    position[f] = static_cast<int>(index) + 1;
    const std::string label = word + " " + names[index];
    std::string unit;
    if (given[index] == NA_STRING) {
      unit = ColumnUnit(views[index], field, common);
      if (!unit.empty()) {
        r::ScaleOf(field, unit, SplitUnit(views[index]).unit.empty() ? "units" : label);
      }
    } else {
      if (!NamedUnit(r::Units(), views[index], field, Rcpp::as<std::string>(given[index]),
                     given_names[index], unit, problem)) {
        Rcpp::stop(label + ": " + problem);
      }
      if (!unit.empty()) r::ScaleOf(field, unit, label);
    }
    if (!unit.empty()) units[f] = unit;
  }
  if (!output_units.empty()) r::LengthScaleOf(output_units);
  return Rcpp::List::create(
      Rcpp::Named("position") = position, Rcpp::Named("unit") = units,
      Rcpp::Named("id") = map.id == kAbsent ? NA_INTEGER : static_cast<int>(map.id) + 1,
      Rcpp::Named("notice") = notice);
}
