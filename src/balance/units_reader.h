// What reads a unit for field_units.h: the factor a trimmed unit gives a
// value of one kind of quantity, or why it gives none. FieldUnits keeps
// everything else (blanks, the words for no unit, the refusal texts, the
// exact powers of ten), so that every reader refuses in the same words.
//
// Two readers: UDUNITS-2 itself (udunits_reader.h), and the list of spellings
// it read when the list was made (listed_units.h), for the WebAssembly build,
// where UDUNITS-2 is not.
//
//   annual total "mm/a"      -> kFactor 0.1 (to cm)
//   total "mm d-1"           -> kMeanRate
//   length "1/m"             -> kNotTaken
//   length "furlongz"        -> kNoUnit
//   "mm" from cm             -> kFactor 10
#pragma once

#include <string_view>

#include "balance/input_fields.h"

namespace recharge {

struct UnitReading {
  enum class Kind {
    kFactor,    // taken: times `factor`
    kNoUnit,    // no unit at all
    kNotTaken,  // a unit, not one of this quantity
    kMeanRate,  // a rate over time, which a total over another period than the year is not
    kUnknown,   // a spelling the reader does not know (the list has no such entry)
  };
  Kind kind = Kind::kNotTaken;
  double factor = 0.0;  // kFactor's: finite and positive
};

class UnitsReader {
 public:
  virtual ~UnitsReader() = default;

  // `unit` (trimmed, not empty) as a value of `quantity` (not kNone): the
  // factor to the model's unit. A total is taken as it is, for the year, as
  // water, for a monthly total for the month, and then, for an annual total
  // alone, as a mean rate over the year; a number's factor may be any.
  virtual UnitReading ToModel(Quantity quantity, std::string_view unit) const = 0;

  // The factor from cm to the length `unit` (trimmed, not empty); kNoUnit or
  // kNotTaken alike where it is no length.
  virtual UnitReading FromCm(std::string_view unit) const = 0;
};

}  // namespace recharge
