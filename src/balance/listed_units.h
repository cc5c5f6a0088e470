// Units read from a list, for the WebAssembly build, where UDUNITS-2 is not:
// the spellings UDUNITS-2 (udunits_reader.h) was asked about when the list
// was made, each with what it read as a value of every quantity and as the
// results' length from cm, the factors to the last bit (listed_units.inc,
// made by tools/make_listed_units.cc). A listed spelling reads as it did
// there; any other, as kUnknown. Spellings are compared as they are, once
// trimmed: "mm a-1" may be listed, "mm  a-1" is another.
//
//   ToModel(kTotal, "mm")   -> kFactor 0x1.999999999999ap-4 (0.1)
//   ToModel(kTotal, "mm d-1") -> kMeanRate
//   FromCm("mm")            -> kFactor 10
//   ToModel(kLength, "furlong") -> kUnknown (not listed)
#pragma once

#include <span>
#include <string_view>

#include "balance/units_reader.h"

namespace recharge {

// The quantities a unit is read for: every one but kNone, which takes none.
inline constexpr int kListedQuantities = static_cast<int>(Quantity::kNone);

struct ListedUnit {
  std::string_view unit;              // trimmed: "mm/a", "m⁻¹"
  UnitReading as[kListedQuantities];  // as a value of each quantity, kAnnualTotal first
  UnitReading from_cm;                // as the results' length
};

// The list, in the order it was made.
std::span<const ListedUnit> UnitList();

class ListedUnits final : public UnitsReader {
 public:
  UnitReading ToModel(Quantity quantity, std::string_view unit) const override;
  UnitReading FromCm(std::string_view unit) const override;
};

}  // namespace recharge
