#include "balance/listed_units.h"

#include <algorithm>
#include <iterator>

namespace recharge {

namespace {

static_assert(static_cast<int>(Quantity::kNumber) + 1 == kListedQuantities,
              "kNone and kCount follow every quantity a unit is read for");

using enum UnitReading::Kind;

#include "balance/listed_units.inc"

// The entry of `unit`, or nullptr.
const ListedUnit* Find(std::string_view unit) {
  const auto* const found =
      std::find_if(std::begin(kUnitList), std::end(kUnitList),
                   [unit](const ListedUnit& each) { return each.unit == unit; });
  return found == std::end(kUnitList) ? nullptr : found;
}

}  // namespace

std::span<const ListedUnit> UnitList() { return kUnitList; }

UnitReading ListedUnits::ToModel(Quantity quantity, std::string_view unit) const {
  const ListedUnit* const listed = Find(unit);
  if (listed == nullptr) return {kUnknown};
  return listed->as[static_cast<int>(quantity)];
}

UnitReading ListedUnits::FromCm(std::string_view unit) const {
  const ListedUnit* const listed = Find(unit);
  if (listed == nullptr) return {kUnknown};
  return listed->from_cm;
}

}  // namespace recharge
