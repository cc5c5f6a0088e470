#include "balance/field_units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <limits>

#include "balance/column_map.h"

namespace recharge {

namespace {

// Why a spelling the list does not have is refused, built for WebAssembly.
constexpr std::string_view kUnknown =
    ", which the web page does not know: recharge-table reads every unit UDUNITS-2 reads";

UnitScale ScaleFor(double factor) {
  constexpr int kExactPowers = 22;
  const long power = std::lround(std::log10(factor));
  if (power >= -kExactPowers && power <= kExactPowers) {
    const double exact = PowerOfTen(static_cast<int>(std::abs(power)));
    const double ratio = power >= 0 ? factor / exact : factor * exact;
    if (std::fabs(ratio - 1.0) <= 1e-12) return {static_cast<int>(power), 1.0, true};
  }
  return {0, factor, false, std::numeric_limits<double>::max() / factor / 2};
}

// Whether `text` is a word for no unit, in any case: "-", "none", "None".
bool MeansNoUnit(std::string_view text) {
  constexpr std::string_view kWords[] = {"-", "none", "dimensionless", "unitless", "fraction"};
  return std::any_of(std::begin(kWords), std::end(kWords), [text](std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(),
                      [](char given, char letter) {
                        return std::tolower(static_cast<unsigned char>(given)) == letter;
                      });
  });
}

}  // namespace

// The blanks of ut_trim, whose result is a character short after leading
// blanks (" mm" would be "m").
std::string_view TrimmedUnit(std::string_view unit) {
  constexpr std::string_view kBlanks = " \t\n\v\f\r";
  const std::size_t begin = unit.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return unit.substr(begin, unit.find_last_not_of(kBlanks) + 1 - begin);
}

bool TakesCommonUnit(InputField field) {
  const Quantity quantity = InfoOf(field).quantity;
  return quantity == Quantity::kAnnualTotal || quantity == Quantity::kTotal ||
         quantity == Quantity::kMonthTotal || quantity == Quantity::kLength;
}

std::string_view ColumnUnit(std::string_view name, InputField field, std::string_view common) {
  const std::string_view unit = SplitUnit(name).unit;
  if (!unit.empty() || !TakesCommonUnit(field)) return unit;
  return common;
}

std::string_view ModelUnit(InputField field) { return InfoOf(InfoOf(field).quantity).model_unit; }

std::string ResultUnit(const ResultColumn& column, std::string_view length, std::string_view year) {
  if (!column.in_length) return std::string(column.unit);
  std::string unit(length);
  if (column.unit.ends_with("/a")) unit.append("/").append(year);
  return unit;
}

bool FieldUnits::ScaleOf(InputField field, std::string_view unit, UnitScale& scale,
                         std::string& problem) const {
  scale = UnitScale();
  const std::string_view trimmed = TrimmedUnit(unit);
  if (trimmed.empty()) return true;
  const Quantity quantity = InfoOf(field).quantity;
  const auto refuse = [&](std::string_view why) {
    problem = std::string(FieldName(field)) + " takes " + std::string(InfoOf(quantity).takes) +
              ", not \"" + std::string(unit) + "\"" + std::string(why);
    return false;
  };
  const bool unitless = quantity == Quantity::kVolumeFraction || quantity == Quantity::kNumber ||
                        quantity == Quantity::kNone;
  if (unitless && MeansNoUnit(trimmed)) return true;
  if (quantity == Quantity::kNone) return refuse("");

  const UnitReading reading = reader_.ToModel(quantity, trimmed);
  switch (reading.kind) {
    case UnitReading::Kind::kFactor:
      break;
    case UnitReading::Kind::kNoUnit:
      return refuse(", which is no unit");
    case UnitReading::Kind::kNotTaken:
      return refuse("");
    case UnitReading::Kind::kMeanRate:
      return refuse(", a mean rate: the period of " + std::string(FieldName(field)) +
                    " is not the year");
    case UnitReading::Kind::kUnknown:
      return refuse(kUnknown);
  }
  scale = ScaleFor(reading.factor);
  if (quantity == Quantity::kNumber && !scale.IsIdentity()) return refuse("");
  return true;
}

bool FieldUnits::LengthScale(std::string_view unit, UnitScale& scale, std::string& problem) const {
  const std::string_view trimmed = TrimmedUnit(unit);
  const UnitReading reading =
      trimmed.empty() ? UnitReading{UnitReading::Kind::kNoUnit} : reader_.FromCm(trimmed);
  if (reading.kind != UnitReading::Kind::kFactor) {
    problem = "takes " + std::string(InfoOf(Quantity::kLength).takes) + ", not \"" +
              std::string(unit) + "\"" +
              std::string(reading.kind == UnitReading::Kind::kUnknown ? kUnknown : "");
    return false;
  }
  scale = ScaleFor(reading.factor);
  return true;
}

}  // namespace recharge
