// Units read by UDUNITS-2 (units_reader.h), in the unit system field_units.h
// describes: UDUNITS-2's database with `a`, `yr` and `year` the period of an
// annual total, `month` that of a month's total, `ha` the hectare, and water
// of 1000 kg m-3; a unit taken only when its quotient with the target is a
// number made of no base unit (not 1/m for cm, not a degree for 1). ASCII is
// read as ASCII, other text as UTF-8 with its superscripts as exponents.
//
//   ToModel(kAnnualTotal, "kg m-2 s-1") -> kFactor 3155692.59747...
//   ToModel(kLength, "1/m")             -> kNotTaken
//   FromCm("in")                        -> kFactor 1/2.54
//
// UDUNITS-2 is not safe on several threads: every call here takes one lock,
// and callers resolve their units once, never per value. A fork waits for the
// lock, so that no child inherits it held.
#pragma once

#include <string>
#include <string_view>

#include "balance/units_reader.h"

namespace recharge {

class UdunitsReader final : public UnitsReader {
 public:
  // The unit system, read once per process from UDUNITS-2's database
  // (UDUNITS2_XML_PATH, or where the library was installed); nullptr with
  // `error` naming the file and UDUNITS2_XML_PATH when it cannot be read.
  static const UdunitsReader* Load(std::string& error);

  UnitReading ToModel(Quantity quantity, std::string_view unit) const override;
  UnitReading FromCm(std::string_view unit) const override;

 private:
  UdunitsReader() = default;
};

}  // namespace recharge
