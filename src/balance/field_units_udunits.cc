// FieldUnits::Load where UDUNITS-2 is: the units it reads from its database.
#include "balance/field_units.h"
#include "balance/udunits_reader.h"

namespace recharge {

const FieldUnits* FieldUnits::Load(std::string& error) {
  const UdunitsReader* const reader = UdunitsReader::Load(error);
  if (reader == nullptr) return nullptr;
  static const FieldUnits units(*reader);
  return &units;
}

}  // namespace recharge
