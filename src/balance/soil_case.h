// One soil as a caller hands it over, checked and turned into the inputs of
// the model: a row of a table, or one cell of a grid. What a soil must give
// is decided here, once, for every caller:
//
//   The inputs input_fields.h marks required are given.
//   Cs is used when it is given; otherwise the twelve monthly values of the
//   series must all be given, and Cs is derived from them.
//   class is a whole number from 0 to 34. Class 0 takes its own parameters
//   (the group kOwnParameter), all required then; any other class
//   takes its row of the soil class table, and own parameters are not read.
//   anaerobiosis is 0 or 1; not given, it is 0.
//   Every value given is finite.
//
// The values come from a CaseValues source, which is asked for each value
// only when these rules need it (a garbled monthly cell does not matter when
// Cs is given), in this order: the required values (in the order of
// the fields), Cs or the months, the
// own parameters, anaerobiosis. The first problem met is the answer. NaN
// stands for a value not given, as an empty cell; a source may also refuse a
// value for a reason of its own (a cell that is not a number).
//
//   P 60, ETp 55, Ps 30, ETps 40, Cs 0.3, zr 60, zgw 200, class 1 -> a soil
//   the same with class 35  -> "class: 35 is not a soil class (0 to 34)"
//   the same with Cs NaN    -> "no Cs and no complete monthly data"
//   the same with zr NaN    -> "zr: no value"
#pragma once

#include <string>
#include <string_view>

#include "balance/input_fields.h"
#include "balance/soil_balance.h"

namespace recharge {

class CaseValues {
 public:
  // True with `value` set (NaN when it is not given), or false when the
  // source refuses the value for a reason of its own.
  virtual bool Read(InputField field, double& value) = 0;

 protected:
  ~CaseValues() = default;
};

enum class ProblemKind {
  kNone,
  kRefused,              // the source refused the value of `field`
  kNoValue,              // a required value of `field` is not given
  kNotFinite,            // `value` of `field` is infinite
  kNotASoilClass,        // `value` is no whole number from 0 to 34
  kNoSimultaneity,       // neither Cs nor all twelve months
  kOwnParameterMissing,  // class 0 without `field`
  kNotZeroOrOne,         // anaerobiosis `value` is neither 0 nor 1
};

struct InputProblem {
  ProblemKind kind = ProblemKind::kNone;
  InputField field = InputField::kP;
  double value = 0.0;
};

// What is wrong, as a status shows it: "zr: no value". Empty for kRefused,
// whose reason is the source's.
std::string ProblemText(const InputProblem& problem);

// A checked soil, ready for the model.
struct SoilCase {
  SoilInputs inputs;  // Cs given when inputs.months is empty
  bool anaerobiosis = false;
};

// Reads and checks one soil; kind kNone when `soil` is ready.
InputProblem ReadSoilCase(CaseValues& values, SoilCase& soil);

}  // namespace recharge
