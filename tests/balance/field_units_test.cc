#include "balance/field_units.h"

#include <gtest/gtest.h>

#include <string>

#include "balance/column_units.h"

namespace recharge {
namespace {

const FieldUnits& Units() {
  std::string error;
  const FieldUnits* const units = FieldUnits::Load(error);
  EXPECT_NE(units, nullptr) << error;
  return *units;
}

// What each field takes. A shift is the exact power of ten to the model's
// unit, cm (1/cm for alpha, 1 for the fractions); a factor is worked out by
// hand: a year is UDUNITS-2's, 3.15569259747e7 s (365.24219878125 d), and
// water weighs 1000 kg m-3, so 1 kg m-2 s-1 for a year is 3.15569259747e7 mm
// of water.
TEST(FieldUnits, AcceptedAndRefused) {
  constexpr double kRefused = -1.0;
  const struct {
    InputField field;
    std::string unit;
    int shift;
    double factor = 0.0;  // 0: a power of ten; kRefused
  } cases[] = {
      {InputField::kP, "", 0},
      {InputField::kP, "cm", 0},
      {InputField::kP, "mm", -1},
      {InputField::kP, "m", 2},
      {InputField::kP, "in", 0, 2.54},
      // `a` is the year, not the are: mm a-1 is no area rate 10^7 off.
      {InputField::kP, "mm/a", -1},
      {InputField::kP, "mm a-1", -1},
      {InputField::kP, "mm year-1", -1},
      {InputField::kETp, "mm yr-1", -1},
      {InputField::kP, "kg m-2", -1},
      {InputField::kP, "kg m-2 a-1", -1},
      {InputField::kP, "mm d-1", 0, 36.524219878125},
      {InputField::kP, "kg m-2 s-1", 0, 3155692.59747},
      {InputField::kPs, "mm", -1},
      {InputField::kRain4, "mm/a", -1},
      {InputField::kEtp4, "kg m-2", -1},
      {InputField::kPs, "kg m-2 s-1", 0, kRefused},
      {InputField::kZgw, "m", 2},
      // UDUNITS-2 converts 1/m to cm, as reciprocals: not here.
      {InputField::kZgw, "1/m", 0, kRefused},
      {InputField::kZr, "mm/a", 0, kRefused},
      {InputField::kAlpha, "1/m", -2},
      {InputField::kAlpha, "m-1", -2},
      {InputField::kAlpha, "m", 0, kRefused},
      {InputField::kThetaS, "%", -2},
      {InputField::kThetaR, "m3 m-3", 0},
      {InputField::kCs, "1", 0},
      {InputField::kCs, "%", 0, kRefused},
      {InputField::kP1, "1", 0, kRefused},
      {InputField::kP, "degC", 0, kRefused},
      {InputField::kP, "m2", 0, kRefused},
      {InputField::kP, "furlongz", 0, kRefused},
      // Blanks around a unit are no part of it; blanks alone are the model's.
      {InputField::kP, " mm", -1},
      {InputField::kZgw, "m      ", 2},
      {InputField::kP, "   ", 0},
      // UTF-8 superscripts are exponents, whatever precedes them.
      {InputField::kP, "mm·a⁻¹", -1},
      {InputField::kThetaR, "m³ m⁻³", 0},
      {InputField::kAlpha, "m⁻¹", -2},
      {InputField::kZgw, "10³ mm", 2},
      // A length per month: a month's total on a month's field, a mean rate on
      // an annual total, refused on a summer's.
      {InputField::kRain4, "mm/month", -1},
      {MonthField(InputField::kEtp4, 5), "kg m-2 month-1", -1},
      {InputField::kP, "mm/month", 0, 1.2},  // a mean rate: twelve months of it
      {InputField::kPs, "mm month-1", 0, kRefused},
      // `ha` is the hectare although `a` is the year: 1 m3/ha is 0.1 mm.
      {InputField::kPs, "m3/ha", -2},
      {InputField::kP, "mm/ha", 0, kRefused},
      // Words for no unit where no unit is taken, and there alone.
      {InputField::kP1, "-", 0},
      {InputField::kN, "None", 0},
      {InputField::kThetaS, "fraction", 0},
      {InputField::kP2, "m", 0, kRefused},
      {InputField::kP, "none", 0, kRefused},
      // An angle is no number, though UDUNITS-2 counts it dimensionless.
      {InputField::kThetaR, "degree", 0, kRefused},
      {InputField::kCs, "rad", 0, kRefused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(FieldName(c.field)) + " [" + c.unit + "]");
    UnitScale scale;
    std::string problem;
    const bool taken = Units().ScaleOf(c.field, c.unit, scale, problem);
    EXPECT_EQ(taken, c.factor != kRefused) << problem;
    if (!taken) {
      EXPECT_NE(problem.find(std::string(FieldName(c.field)) + " takes "), std::string::npos);
      EXPECT_NE(problem.find("\"" + c.unit + "\""), std::string::npos);
      continue;
    }
    EXPECT_EQ(scale.power_of_ten, c.factor == 0.0);
    EXPECT_EQ(scale.shift, c.shift);
    if (c.factor != 0.0) {
      EXPECT_NEAR(scale.factor, c.factor, c.factor * 1e-12);
    }
  }
}

TEST(FieldUnits, MessagesNameTheFieldTheUnitAndWhatItTakes) {
  UnitScale scale;
  std::string problem;
  EXPECT_FALSE(Units().ScaleOf(InputField::kPs, "mm d-1", scale, problem));
  EXPECT_EQ(problem,
            "Ps takes a length (mm, cm, m, in, ...), a length per year (mm/a, mm year-1) or a "
            "mass of water per area (kg m-2), not \"mm d-1\", a mean rate: the period of Ps is "
            "not the year");
  EXPECT_FALSE(Units().ScaleOf(InputField::kZgw, "furlongz", scale, problem));
  EXPECT_EQ(problem, "zgw takes a length (mm, cm, m, in, ...), not \"furlongz\", which is no unit");
}

TEST(FieldUnits, ResultLengths) {
  UnitScale scale;
  std::string problem;
  EXPECT_TRUE(Units().LengthScale(" mm ", scale, problem));
  EXPECT_EQ(scale.shift, 1);
  EXPECT_FALSE(Units().LengthScale("mm/a", scale, problem));
  std::string units;
  for (const ResultColumn& column : ResultColumns()) units += ResultUnit(column, "mm", "a") + ",";
  EXPECT_EQ(units, "1,cm3/cm3,cm3/cm3,mm,cm/d,,1,cm,1,mm/a,mm/a,");
}

// Every unit the inputs' table offers is one its field takes, the first the
// model's own; every field but p1 and p2 has a model unit.
TEST(FieldUnits, OfferedUnitsAreTaken) {
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    const QuantityInfo& quantity = InfoOf(InfoOf(field).quantity);
    SCOPED_TRACE(std::string(FieldName(field)));
    EXPECT_EQ(ModelUnit(field).empty(), InfoOf(field).quantity == Quantity::kNone);
    for (std::size_t u = 0; u < quantity.offered.size(); ++u) {
      UnitScale scale;
      std::string problem;
      EXPECT_TRUE(Units().ScaleOf(field, quantity.offered[u], scale, problem)) << problem;
      if (u == 0) {
        EXPECT_TRUE(scale.IsIdentity()) << quantity.offered[u];
      }
    }
  }
}

// A unit in a name and one given apart from it agree when they mean the same
// amounts of the field.
TEST(FieldUnits, NamedUnitAgreesOrRefuses) {
  const struct {
    std::string name, given;
    InputField field;
    std::string unit, problem;
  } cases[] = {
      {"P [mm]", "", InputField::kP, "mm", ""},
      {"rain_total", "mm/a", InputField::kP, "mm/a", ""},
      {"P [mm]", "millimeter", InputField::kP, "mm", ""},
      {"P [mm]", "mm/a", InputField::kP, "mm", ""},
      {"P [mm]", "m", InputField::kP, "", "the name gives the unit mm, the units attribute m"},
      {"zgw (cm)", "1/m", InputField::kZgw, "",
       "zgw takes a length (mm, cm, m, in, ...), not \"1/m\""},
      {"zgw [kg]", "", InputField::kZgw, "", "zgw takes a length (mm, cm, m, in, ...), not \"kg\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + c.given);
    std::string unit, problem;
    EXPECT_EQ(NamedUnit(Units(), c.name, c.field, c.given, "the units attribute", unit, problem),
              c.problem.empty());
    EXPECT_EQ(problem, c.problem);
    if (c.problem.empty()) {
      EXPECT_EQ(unit, c.unit);
    }
  }
}

}  // namespace
}  // namespace recharge
