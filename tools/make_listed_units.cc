// Writes src/balance/listed_units.inc, the units of the WebAssembly build
// (src/balance/listed_units.h): each spelling below as UDUNITS-2 reads it, as
// a value of every quantity and as the results' length from cm, the factors
// as hexadecimal literals that keep every bit.
//
//   build/default/make_listed_units > src/balance/listed_units.inc
//
// Built with the native programs; the test ListedUnits.Current runs it and
// fails while its output differs from the committed file. A spelling added
// here, or a field's offered unit added in input_fields.cc, is read by the
// web page once the file is made again.
//
//   "mm" -> {"mm", {{kFactor, 0x1.999999999999ap-4}, ... {kNotTaken}}, {kFactor, 0x1.4p+3}},
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "balance/field_units.h"
#include "balance/listed_units.h"
#include "balance/udunits_reader.h"

namespace recharge {
namespace {

// Spellings a table, a dataset or the web page's user may give, beyond the
// units the inputs' table offers: those field_units.h and the refusals name,
// lengths by symbol and name, a length per year, month or day, a mass of
// water per area, reciprocal lengths, volume fractions, words for no unit,
// and units some field might be given by mistake, refused.
constexpr std::string_view kSpellings[] = {
    // Lengths.
    "mm", "cm", "dm", "m", "km", "in", "ft", "millimeter", "millimeters", "millimetre",
    "millimetres", "centimeter", "centimeters", "centimetre", "centimetres", "decimeter",
    "decimeters", "decimetre", "decimetres", "meter", "meters", "metre", "metres", "kilometer",
    "kilometers", "kilometre", "kilometres", "inch", "inches", "foot", "feet", "10³ mm", "m3/ha",
    "m³/ha", "m3 ha-1",
    // A total per year, per month, per day or per second.
    "mm·a⁻¹", "mm a⁻¹", "cm a⁻¹", "in/a", "in/yr", "mm/d", "mm d-1", "mm/day", "mm day-1", "mm d⁻¹",
    "mm·d⁻¹", "cm/d", "cm d-1", "mm/month", "mm month-1", "cm/month", "cm month-1", "mm/s",
    "mm s-1",
    // Water per area, in a period or none.
    "kg m-2", "kg/m2", "kg m⁻²", "kg/m²", "kg m-2 a-1", "kg m-2 yr-1", "kg m-2 year-1", "kg/m2/a",
    "kg m-2 d-1", "kg m-2 month-1", "kg m-2 s-1", "kg m⁻² s⁻¹", "kg/m2/s",
    // Reciprocal lengths.
    "1/cm", "1/m", "1/mm", "cm-1", "m-1", "mm-1", "m^-1", "cm^-1", "m⁻¹", "cm⁻¹", "mm⁻¹",
    // Volume fractions and numbers.
    "1", "%", "percent", "m3 m-3", "m3/m3", "cm3/cm3", "cm3 cm-3", "m³ m⁻³", "m³/m³", "cm³/cm³",
    "cm³ cm⁻³", "mm/mm", "cm/cm",
    // Words for no unit, which a field that takes a unit reads as UDUNITS-2 does.
    "-", "none", "None", "dimensionless", "unitless", "fraction",
    // Units of other kinds, and text that is no unit.
    "degree", "degrees", "rad", "degC", "K", "s", "d", "a", "month", "kg", "m2", "m3", "ha",
    "mm/ha", "mm2", "furlongz", "n/a", "?"};

// A length per year in each of its spellings, for these lengths.
constexpr std::string_view kYearLengths[] = {"mm", "cm", "m"};
constexpr std::string_view kPerYear[] = {"/a", " a-1", "/yr", " yr-1", "/year", " year-1"};

// Every spelling once, in the order first met: each quantity's offered units,
// the lengths per year, then kSpellings.
std::vector<std::string> Spellings() {
  std::vector<std::string> spellings;
  const auto add = [&](std::string spelling) {
    if (TrimmedUnit(spelling) != spelling || spelling.empty()) {
      std::fprintf(stderr, "make_listed_units: \"%s\" is not trimmed\n", spelling.c_str());
      std::exit(2);
    }
    if (std::ranges::find(spellings, spelling) == spellings.end()) spellings.push_back(spelling);
  };
  for (int q = 0; q < static_cast<int>(Quantity::kCount); ++q) {
    for (std::string_view unit : InfoOf(static_cast<Quantity>(q)).offered) add(std::string(unit));
  }
  for (std::string_view length : kYearLengths) {
    for (std::string_view year : kPerYear) add(std::string(length) + std::string(year));
  }
  for (std::string_view spelling : kSpellings) add(std::string(spelling));
  return spellings;
}

// A reading as the list's initializer: {kFactor, 0x1.4p+3}, {kNotTaken}.
std::string Initializer(const UnitReading& reading) {
  constexpr std::string_view kKinds[] = {"kFactor", "kNoUnit", "kNotTaken", "kMeanRate",
                                         "kUnknown"};
  std::string text = "{" + std::string(kKinds[static_cast<int>(reading.kind)]);
  if (reading.kind == UnitReading::Kind::kFactor) {
    char factor[32];
    std::snprintf(factor, sizeof factor, "%a", reading.factor);
    text += ", " + std::string(factor);
  }
  return text + "}";
}

int Main() {
  std::string error;
  const UdunitsReader* const reader = UdunitsReader::Load(error);
  if (reader == nullptr) {
    std::fprintf(stderr, "make_listed_units: %s\n", error.c_str());
    return 1;
  }
  std::printf(
      "// Made by tools/make_listed_units.cc from UDUNITS-2's unit database; do not edit:\n"
      "//   build/default/make_listed_units > src/balance/listed_units.inc\n"
      "//\n"
      "// Each spelling: as a value of an annual total, a total, a monthly total,\n"
      "// a length, a reciprocal length, a volume fraction and a number (the\n"
      "// factor to the model's unit), then as the results' length (from cm).\n"
      "constexpr ListedUnit kUnitList[] = {\n");
  for (const std::string& spelling : Spellings()) {
    std::string entry = "    {\"" + spelling + "\", {";
    for (int q = 0; q < kListedQuantities; ++q) {
      if (q > 0) entry += ", ";
      entry += Initializer(reader->ToModel(static_cast<Quantity>(q), spelling));
    }
    entry += "}, " + Initializer(reader->FromCm(spelling)) + "},\n";
    std::fputs(entry.c_str(), stdout);
  }
  std::printf("};\n");
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace recharge

int main() { return recharge::Main(); }
