// The inputs of a soil, in one table that every caller takes them from: a
// table's columns, the Python package's arguments, a Dataset's variables, the
// fields and layers of the QGIS plugin. For each input: its name, what it
// means, its kind of quantity (and with it the model's unit and the units
// offered for it), whether every soil must give it, its group, and for the
// twelve monthly values the series and month.
//
//   P       annual precipitation, an annual total in cm, required, climate
//   rain6   rain of June, a total in cm, the series rain, month 2 (April 0)
//   alpha   own van Genuchten alpha, a reciprocal length in 1/cm, own
//           parameter (read for class 0 alone)
//
// The rules that join them (Cs or all twelve months, the own parameters for
// class 0) are soil_case.h's; how a unit becomes the model's, field_units.h's.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "balance/soil_balance.h"

namespace recharge {

// The values a soil may give, in the order of a table's columns.
enum class InputField {
  kP,
  kETp,
  kPs,
  kETps,
  kCs,
  kRain4,                    // rain4 .. rain9, April to September
  kEtp4 = kRain4 + kMonths,  // etp4 .. etp9
  kZr = kEtp4 + kMonths,
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

inline constexpr int kInputFieldCount = static_cast<int>(InputField::kCount);

// What kind of quantity an input is, which decides the units it takes.
enum class Quantity {
  kAnnualTotal,       // P, ETp: cm in a year
  kTotal,             // Ps, ETps: cm in the summer half-year
  kMonthTotal,        // the months: cm in the month
  kLength,            // zr, zgw
  kReciprocalLength,  // alpha
  kVolumeFraction,    // theta_r, theta_s
  kNumber,            // Cs, n, class, anaerobiosis: 1
  kNone,              // p1, p2: no unit, as they belong to a relation in cm and cm/d
  kCount,
};

struct QuantityInfo {
  std::string_view name;        // "annual total"
  std::string_view model_unit;  // "cm", "1/cm", "1"; empty for kNone
  // Units a user may pick from, the model's first ("cm/a" for an annual
  // total); empty where the model's is the only one.
  std::span<const std::string_view> offered;
  // The units it takes, as a refusal lists them: "a length (mm, cm, m, in, ...)".
  std::string_view takes;
};

enum class InputGroup { kClimate, kSite, kSoil, kOwnParameter, kCount };

struct InputInfo {
  std::string_view name;         // "P", "rain4", "theta_r": a table's column
  std::string_view description;  // "annual precipitation"
  Quantity quantity;
  InputGroup group;
  bool required;  // every soil gives it; the others may be left empty
  int month;      // 0 (April) to 5 (September) for the monthly values, else -1
};

// A series of monthly values, April to September.
struct MonthSeries {
  std::string_view name;         // "rain"
  std::string_view description;  // "monthly rain, April to September"
  InputField first;              // kRain4
};

const InputInfo& InfoOf(InputField field);
const QuantityInfo& InfoOf(Quantity quantity);
std::string_view GroupName(InputGroup group);  // "climate", "site", "soil", "own parameter"
std::span<const MonthSeries> MonthSeriesList();

// "P", "rain4", "theta_r", ...: the name of a table's column, and the name
// under which a problem is reported.
inline std::string_view FieldName(InputField field) { return InfoOf(field).name; }

// The field of the month `month` (0 for April) after `first` (kRain4 or
// kEtp4).
constexpr InputField MonthField(InputField first, int month) {
  return static_cast<InputField>(static_cast<int>(first) + month);
}

// The series of a monthly field, or nullptr.
const MonthSeries* SeriesOf(InputField field);

// The field named exactly `name` ("P", "rain4"), or none.
std::optional<InputField> FieldNamed(std::string_view name);

}  // namespace recharge
