// The units of a soil's fields and of its results: how a value given in
// another unit becomes one in the model's unit, where every amount and depth
// is in cm. Each field's kind of quantity (input_fields.h) decides what it
// takes:
//
//   annual total  a length (mm, cm, m, in, m3/ha), a length per year meaning
//                 the same total (mm/a, mm a-1, mm year-1, mm yr-1), a mass
//                 of water per area (kg m-2, kg m-2 a-1) as mm of water, or a
//                 mean rate (mm d-1, kg m-2 s-1, mm/month) times one year
//   total         a length, a length per year or a mass of water per area; a
//                 mean rate is refused, as the period of such a total is not
//                 the year
//   monthly total a total, or a length per month meaning the same total
//                 (mm/month, kg m-2 month-1)
//   length, reciprocal length, volume fraction (1, m3 m-3, cm3/cm3, %)
//   number        1 or none
//   none          no unit
//
// A word for no unit ("-", "none", "dimensionless", "unitless", "fraction",
// in any case) is 1 for a volume fraction or a number, and taken by the
// fields that take none.
//
// Unit strings are read by UDUNITS-2 (udunits_reader.h), without the blanks
// around them (a netCDF attribute padded to its length): blanks alone are no
// unit, the model's. Text beyond ASCII is read as UTF-8, a run of
// superscripts as an exponent (m⁻¹, mm·a⁻¹, m³ m⁻³). Built for WebAssembly,
// where UDUNITS-2 is not, the units are read from the list of spellings
// UDUNITS-2 read when the list was made (listed_units.h), with the same
// scales and refusals; a spelling not in the list is refused as unknown.
//
// In the unit system read here `a` is the year (`mm/a`), not UDUNITS-2's are:
// no input is an area. `a`, `yr` and `year` are the period of an annual
// total, so that a length per year is told apart from a rate over a day, and
// `month` that of a month's total; `ha` stays the hectare. A mean rate is
// multiplied by UDUNITS-2's own year, the tropical year of 365.24219878125
// days. Water weighs 1000 kg m-3. A unit is taken only when its quotient with
// the model's unit is a number: never by UDUNITS-2's conversion of
// reciprocals (which would take 1/m for a length), nor through an angle,
// which UDUNITS-2 counts dimensionless (a degree would be a fraction pi/180).
//
// A factor within 1e-12 of a power of ten is that power, applied exactly:
//   P "mm"     -> shift -1 (600 mm is 60 cm)    zgw "m" -> shift 2
//   P "kg m-2 s-1" -> factor 3155692.59747 (a year of it, in cm of water)
//   rain4 "mm/month" -> shift -1    Ps "m3/ha" -> shift -2 (0.1 mm)
//   zgw "1/m"  -> "zgw takes a length (mm, cm, m, in, ...), not \"1/m\""
//   P "mm/month" -> factor 1.2     Ps "mm/month", theta_r "degree" -> refused
//
// Callers resolve their units once, never per value: UDUNITS-2 reads one
// unit at a time, under a lock.
#pragma once

#include <string>
#include <string_view>

#include "balance/input_fields.h"
#include "balance/soil_results.h"
#include "balance/unit_scale.h"
#include "balance/units_reader.h"

namespace recharge {

// `unit` without the blanks around it, as files write them ("mm   " in a
// netCDF attribute padded as Fortran pads it): "" for blanks alone, the
// model's unit.
std::string_view TrimmedUnit(std::string_view unit);

// Whether a field takes the common unit of the climate amounts and depths
// (recharge-table --units): the annual totals, totals and lengths.
bool TakesCommonUnit(InputField field);

// The unit of the column `name` of `field`: the one its name gives ("P [mm]"),
// else `common` for the climate amounts and depths (recharge-table --units),
// else none (the model's).
//   "P [mm]", "m" -> "mm"   "zgw", "m" -> "m"   "alpha", "m" -> ""
std::string_view ColumnUnit(std::string_view name, InputField field, std::string_view common);

// The model's unit of a field (its quantity's), as a warning names it: "cm",
// "1/cm", "1", or empty for a field that takes none.
std::string_view ModelUnit(InputField field);

// The unit of a result column when the results' lengths are in `length`
// ("mm"): Wmax in it, ETa and R in it per year, with `year` spelling the year
// ("a" in a table's header, "year" where other programs read it); every
// other column in its own unit.
//   ETa, "mm", "a" -> "mm/a"   qmax -> "cm/d"   method -> ""
std::string ResultUnit(const ResultColumn& column, std::string_view length, std::string_view year);

class FieldUnits {
 public:
  // The units of this build, read once per process: from UDUNITS-2's
  // database (UDUNITS2_XML_PATH, or where the library was installed), with
  // nullptr and `error` naming the file and UDUNITS2_XML_PATH when it cannot
  // be read; built for WebAssembly, from the list, which never fails.
  static const FieldUnits* Load(std::string& error);

  // The units `reader` reads, which outlives them.
  explicit FieldUnits(const UnitsReader& reader) : reader_(reader) {}

  // The scale of `field`'s values given in `unit`; an empty or blank unit is
  // the model's. False with `problem` naming the field, the unit as given and
  // what the field takes.
  bool ScaleOf(InputField field, std::string_view unit, UnitScale& scale,
               std::string& problem) const;

  // The scale of the results' lengths from cm to the length `unit`.
  bool LengthScale(std::string_view unit, UnitScale& scale, std::string& problem) const;

 private:
  const UnitsReader& reader_;
};

}  // namespace recharge
