#include "balance/soil_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>

namespace recharge {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Values by field; a field not listed is not given, one set to kRefuse is
// refused by the source.
constexpr double kRefuse = -12345.0;

class MapValues : public CaseValues {
 public:
  explicit MapValues(std::map<InputField, double> values) : values_(std::move(values)) {}
  bool Read(InputField field, double& value) override {
    const auto found = values_.find(field);
    value = found == values_.end() ? kNaN : found->second;
    return value != kRefuse;
  }

 private:
  std::map<InputField, double> values_;
};

using F = InputField;

std::map<InputField, double> Sand() {
  return {{F::kP, 60},   {F::kETp, 55}, {F::kPs, 30},   {F::kETps, 40},
          {F::kCs, 0.3}, {F::kZr, 60},  {F::kZgw, 200}, {F::kClass, 1}};
}

std::map<InputField, double> With(std::map<InputField, double> values, InputField field,
                                  double value) {
  values[field] = value;
  return values;
}

std::map<InputField, double> Without(std::map<InputField, double> values, InputField field) {
  values.erase(field);
  return values;
}

TEST(SoilCaseTest, WhatASoilMustGive) {
  std::map<InputField, double> own = With(Sand(), F::kClass, 0);
  for (F field : {F::kThetaR, F::kThetaS, F::kAlpha, F::kN, F::kP1, F::kP2}) own[field] = 0.5;
  std::map<InputField, double> months = Without(Sand(), F::kCs);
  for (int month = 0; month < 6; ++month) {
    months[MonthField(F::kRain4, month)] = 5;
    months[MonthField(F::kEtp4, month)] = 8;
  }
  const struct {
    const char* name;
    std::map<InputField, double> values;
    ProblemKind kind;
    std::string text;
  } cases[] = {
      {"sand", Sand(), ProblemKind::kNone, ""},
      {"a whole class as a real", With(Sand(), F::kClass, 1.0), ProblemKind::kNone, ""},
      {"own parameters", own, ProblemKind::kNone, ""},
      {"months", months, ProblemKind::kNone, ""},
      // A garbled month is never read while Cs is given.
      {"Cs given", With(Sand(), F::kRain4, kRefuse), ProblemKind::kNone, ""},
      {"required first", Without(Without(Sand(), F::kCs), F::kZgw), ProblemKind::kNoValue,
       "zgw: no value"},
      {"refused", With(Sand(), F::kETp, kRefuse), ProblemKind::kRefused, ""},
      {"infinite", With(Sand(), F::kP, -kInf), ProblemKind::kNotFinite,
       "P: -inf is not a finite number"},
      {"one month short", Without(months, MonthField(F::kEtp4, 5)), ProblemKind::kNoSimultaneity,
       "no Cs and no complete monthly data"},
      {"class 35", With(Sand(), F::kClass, 35), ProblemKind::kNotASoilClass,
       "class: 35 is not a soil class (0 to 34)"},
      {"class 1.5", With(Sand(), F::kClass, 1.5), ProblemKind::kNotASoilClass,
       "class: 1.5 is not a soil class (0 to 34)"},
      {"class 0 without n", Without(own, F::kN), ProblemKind::kOwnParameterMissing,
       "class 0 needs n"},
      {"anaerobiosis 2", With(Sand(), F::kAnaerobiosis, 2), ProblemKind::kNotZeroOrOne,
       "anaerobiosis: 2 is not 0 or 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapValues values(c.values);
    SoilCase soil;
    const InputProblem problem = ReadSoilCase(values, soil);
    EXPECT_EQ(problem.kind, c.kind);
    EXPECT_EQ(ProblemText(problem), c.text);
  }
}

TEST(SoilCaseTest, TheSoilAsTheModelTakesIt) {
  MapValues values(With(With(Sand(), F::kClass, 24), F::kAnaerobiosis, 1));
  SoilCase soil;
  ASSERT_EQ(ReadSoilCase(values, soil).kind, ProblemKind::kNone);
  EXPECT_EQ(soil.inputs.soil.theta_s, 0.5238f);  // class 24, Tt
  EXPECT_EQ(soil.inputs.climate.Cs, 0.3);
  EXPECT_FALSE(soil.inputs.months);
  EXPECT_TRUE(soil.anaerobiosis);
  MapValues unset(Sand());  // anaerobiosis not given: none
  ASSERT_EQ(ReadSoilCase(unset, soil).kind, ProblemKind::kNone);
  EXPECT_FALSE(soil.anaerobiosis);
}

}  // namespace
}  // namespace recharge
