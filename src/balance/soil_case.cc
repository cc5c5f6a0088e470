#include "balance/soil_case.h"

#include <cmath>

#include "runtime/double_chars.h"
#include "soil/soil_class_table.h"

namespace recharge {

namespace {

// Reads the values of one soil, remembering the first problem.
class Checker {
 public:
  explicit Checker(CaseValues& values) : values_(values) {}

  // A value that may be absent: NaN when it is.
  bool Optional(InputField field, double& value) {
    if (!values_.Read(field, value)) return Fail({ProblemKind::kRefused, field});
    if (std::isinf(value)) return Fail({ProblemKind::kNotFinite, field, value});
    return true;
  }

  bool Required(InputField field, double& value, ProblemKind missing = ProblemKind::kNoValue) {
    if (!Optional(field, value)) return false;
    if (std::isnan(value)) return Fail({missing, field});
    return true;
  }

  bool Fail(InputProblem found) {
    problem = found;
    return false;
  }

  InputProblem problem;

 private:
  CaseValues& values_;
};

bool ReadSimultaneity(Checker& check, SoilInputs& in) {
  if (!check.Optional(InputField::kCs, in.climate.Cs)) return false;
  if (!std::isnan(in.climate.Cs)) return true;
  GrowingSeason months;
  for (int month = 0; month < kMonths; ++month) {
    for (InputField first : {InputField::kRain4, InputField::kEtp4}) {
      double& value = first == InputField::kRain4 ? months.rain[month] : months.etp[month];
      if (!check.Optional(MonthField(first, month), value)) return false;
      if (std::isnan(value)) return check.Fail({ProblemKind::kNoSimultaneity});
    }
  }
  in.months = months;
  return true;
}

bool ReadOwnParameters(Checker& check, SoilHydraulicParameters& soil) {
  const struct {
    InputField field;
    double* value;
  } own[] = {{InputField::kThetaR, &soil.theta_r}, {InputField::kThetaS, &soil.theta_s},
             {InputField::kAlpha, &soil.alpha},    {InputField::kN, &soil.n},
             {InputField::kP1, &soil.p1},          {InputField::kP2, &soil.p2}};
  for (const auto& parameter : own) {
    if (!check.Required(parameter.field, *parameter.value, ProblemKind::kOwnParameterMissing)) {
      return false;
    }
  }
  return true;
}

// Where a required field's value goes: the model's inputs, or `soil_class`.
double* RequiredSlot(SoilInputs& in, double& soil_class, InputField field) {
  switch (field) {
    case InputField::kP:
      return &in.climate.P;
    case InputField::kETp:
      return &in.climate.ETp;
    case InputField::kPs:
      return &in.climate.Ps;
    case InputField::kETps:
      return &in.climate.ETps;
    case InputField::kZr:
      return &in.site.zr;
    case InputField::kZgw:
      return &in.site.zgw;
    case InputField::kClass:
      return &soil_class;
    default:
      return nullptr;  // no other field is required
  }
}

std::string Number(double value) {
  char text[32];
  return std::string(text, ToChars(text, text + sizeof text, value).ptr);
}

}  // namespace

InputProblem ReadSoilCase(CaseValues& values, SoilCase& soil) {
  Checker check(values);
  SoilInputs& in = soil.inputs;
  in.months.reset();
  double soil_class = 0.0;
  double anaerobiosis = 0.0;
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (!InfoOf(field).required) continue;
    if (!check.Required(field, *RequiredSlot(in, soil_class, field))) return check.problem;
  }
  if (!ReadSimultaneity(check, in)) return check.problem;
  if (!(soil_class >= 0.0 && soil_class <= kSoilClassCount) ||
      soil_class != std::floor(soil_class)) {
    return {ProblemKind::kNotASoilClass, InputField::kClass, soil_class};
  }
  if (soil_class == 0.0) {
    if (!ReadOwnParameters(check, in.soil)) return check.problem;
  } else {
    in.soil = ParametersOf(*SoilClass(static_cast<int>(soil_class)));
  }
  if (!check.Optional(InputField::kAnaerobiosis, anaerobiosis)) return check.problem;
  if (!std::isnan(anaerobiosis) && anaerobiosis != 0.0 && anaerobiosis != 1.0) {
    return {ProblemKind::kNotZeroOrOne, InputField::kAnaerobiosis, anaerobiosis};
  }
  soil.anaerobiosis = anaerobiosis == 1.0;
  return {};
}

std::string ProblemText(const InputProblem& problem) {
  const std::string name(FieldName(problem.field));
  switch (problem.kind) {
    case ProblemKind::kNone:
    case ProblemKind::kRefused:
      break;
    case ProblemKind::kNoValue:
      return name + ": no value";
    case ProblemKind::kNotFinite:
      return name + ": " + Number(problem.value) + " is not a finite number";
    case ProblemKind::kNotASoilClass:
      return name + ": " + Number(problem.value) + " is not a soil class (0 to " +
             std::to_string(kSoilClassCount) + ")";
    case ProblemKind::kNoSimultaneity:
      return "no Cs and no complete monthly data";
    case ProblemKind::kOwnParameterMissing:
      return "class 0 needs " + name;
    case ProblemKind::kNotZeroOrOne:
      return name + ": " + Number(problem.value) + " is not 0 or 1";
  }
  return "";
}

}  // namespace recharge
