#include "balance/input_fields.h"

#include <iterator>

namespace recharge {

namespace {

using InputGroup::kClimate, InputGroup::kSite, InputGroup::kSoil, InputGroup::kOwnParameter;
using Quantity::kAnnualTotal, Quantity::kTotal, Quantity::kMonthTotal, Quantity::kLength,
    Quantity::kReciprocalLength, Quantity::kVolumeFraction, Quantity::kNumber, Quantity::kNone;

constexpr std::string_view kAnnualUnits[] = {"cm/a",       "mm/a",   "m/a",
                                             "kg m-2 a-1", "mm d-1", "kg m-2 s-1"};
constexpr std::string_view kTotalUnits[] = {"cm", "mm", "m", "kg m-2"};
constexpr std::string_view kMonthUnits[] = {"cm", "mm", "m", "kg m-2", "mm/month"};
constexpr std::string_view kLengthUnits[] = {"cm", "mm", "m"};
constexpr std::string_view kReciprocalUnits[] = {"1/cm", "1/m"};
constexpr std::string_view kFractionUnits[] = {"1", "%"};

constexpr QuantityInfo kQuantities[] = {
    {"annual total", "cm", kAnnualUnits,
     "a length (mm, cm, m, in, ...), a length per year (mm/a, mm year-1), a mass of water per "
     "area (kg m-2) or a mean rate (mm d-1, kg m-2 s-1)"},
    {"total", "cm", kTotalUnits,
     "a length (mm, cm, m, in, ...), a length per year (mm/a, mm year-1) or a mass of water per "
     "area (kg m-2)"},
    {"monthly total", "cm", kMonthUnits,
     "a length (mm, cm, m, in, ...), a length per month (mm/month) or per year (mm/a), or a "
     "mass of water per area (kg m-2, kg m-2 month-1)"},
    {"length", "cm", kLengthUnits, "a length (mm, cm, m, in, ...)"},
    {"reciprocal length", "1/cm", kReciprocalUnits, "a reciprocal length (1/cm, 1/m, m-1)"},
    {"volume fraction", "1", kFractionUnits,
     "a volume fraction (1, m3 m-3, cm3/cm3, %, fraction, -)"},
    {"number", "1", {}, "no unit (-, none) or 1"},
    {"none", "", {}, "no unit (-, none)"},
};
static_assert(std::size(kQuantities) == static_cast<int>(Quantity::kCount));

constexpr InputInfo kInputs[] = {
    {"P", "annual precipitation", kAnnualTotal, kClimate, true, -1},
    {"ETp", "annual potential evapotranspiration", kAnnualTotal, kClimate, true, -1},
    {"Ps", "summer precipitation (April to September)", kTotal, kClimate, true, -1},
    {"ETps", "summer potential evapotranspiration (April to September)", kTotal, kClimate, true,
     -1},
    {"Cs", "coefficient of simultaneity; where not given, derived from the months", kNumber,
     kClimate, false, -1},
    {"rain4", "rain of April", kMonthTotal, kClimate, false, 0},
    {"rain5", "rain of May", kMonthTotal, kClimate, false, 1},
    {"rain6", "rain of June", kMonthTotal, kClimate, false, 2},
    {"rain7", "rain of July", kMonthTotal, kClimate, false, 3},
    {"rain8", "rain of August", kMonthTotal, kClimate, false, 4},
    {"rain9", "rain of September", kMonthTotal, kClimate, false, 5},
    {"etp4", "potential evapotranspiration of April", kMonthTotal, kClimate, false, 0},
    {"etp5", "potential evapotranspiration of May", kMonthTotal, kClimate, false, 1},
    {"etp6", "potential evapotranspiration of June", kMonthTotal, kClimate, false, 2},
    {"etp7", "potential evapotranspiration of July", kMonthTotal, kClimate, false, 3},
    {"etp8", "potential evapotranspiration of August", kMonthTotal, kClimate, false, 4},
    {"etp9", "potential evapotranspiration of September", kMonthTotal, kClimate, false, 5},
    {"zr", "root zone depth", kLength, kSite, true, -1},
    {"zgw", "depth to groundwater below the surface", kLength, kSite, true, -1},
    {"class", "soil class (1 to 34; 0: own parameters)", kNumber, kSoil, true, -1},
    {"theta_r", "own residual water content", kVolumeFraction, kOwnParameter, false, -1},
    {"theta_s", "own saturated water content", kVolumeFraction, kOwnParameter, false, -1},
    {"alpha", "own van Genuchten alpha", kReciprocalLength, kOwnParameter, false, -1},
    {"n", "own van Genuchten n", kNumber, kOwnParameter, false, -1},
    {"p1", "own coefficient of the capillary rise estimate", kNone, kOwnParameter, false, -1},
    {"p2", "own exponent of the capillary rise estimate", kNone, kOwnParameter, false, -1},
    {"anaerobiosis", "severe anaerobiosis expected (1) or not (0)", kNumber, kSoil, false, -1},
};
static_assert(std::size(kInputs) == kInputFieldCount);

constexpr std::string_view kGroupNames[] = {"climate", "site", "soil", "own parameter"};
static_assert(std::size(kGroupNames) == static_cast<int>(InputGroup::kCount));

constexpr MonthSeries kSeries[] = {
    {"rain", "monthly rain, April to September", InputField::kRain4},
    {"etp", "monthly potential evapotranspiration, April to September", InputField::kEtp4},
};

}  // namespace

const InputInfo& InfoOf(InputField field) { return kInputs[static_cast<int>(field)]; }

const QuantityInfo& InfoOf(Quantity quantity) { return kQuantities[static_cast<int>(quantity)]; }

std::string_view GroupName(InputGroup group) { return kGroupNames[static_cast<int>(group)]; }

std::span<const MonthSeries> MonthSeriesList() { return kSeries; }

const MonthSeries* SeriesOf(InputField field) {
  for (const MonthSeries& series : kSeries) {
    const int month = static_cast<int>(field) - static_cast<int>(series.first);
    if (month >= 0 && month < kMonths) return &series;
  }
  return nullptr;
}

std::optional<InputField> FieldNamed(std::string_view name) {
  for (int field = 0; field < kInputFieldCount; ++field) {
    if (kInputs[field].name == name) return static_cast<InputField>(field);
  }
  return std::nullopt;
}

}  // namespace recharge
