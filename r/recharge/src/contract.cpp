// The contract of the model's inputs and results for the R package, from the
// model's own tables (input_fields.h, soil_results.h, field_units.h): the
// package's names, units, codes and texts come from here alone.
#include <Rcpp.h>

#include <string>

#include "balance/field_units.h"
#include "balance/input_fields.h"
#include "balance/soil_results.h"
#include "runtime/available_cpus.h"

namespace {

using namespace recharge;

Rcpp::CharacterVector Strings(const std::vector<std::string>& texts) {
  return Rcpp::CharacterVector(texts.begin(), texts.end());
}

Rcpp::List Inputs() {
  std::vector<std::string> name, description, quantity, model_unit, group;
  Rcpp::LogicalVector required, common_unit;
  Rcpp::IntegerVector month;
  for (int f = 0; f < kInputFieldCount; ++f) {
    const InputField field = static_cast<InputField>(f);
    const InputInfo& input = InfoOf(field);
    name.emplace_back(input.name);
    description.emplace_back(input.description);
    quantity.emplace_back(InfoOf(input.quantity).name);
    model_unit.emplace_back(InfoOf(input.quantity).model_unit);
    group.emplace_back(GroupName(input.group));
    required.push_back(input.required);
    common_unit.push_back(TakesCommonUnit(field));
    month.push_back(input.month < 0 ? NA_INTEGER : input.month + 4);
  }
  return Rcpp::List::create(
      Rcpp::Named("name") = Strings(name), Rcpp::Named("description") = Strings(description),
      Rcpp::Named("quantity") = Strings(quantity), Rcpp::Named("model_unit") = Strings(model_unit),
      Rcpp::Named("group") = Strings(group), Rcpp::Named("required") = required,
      Rcpp::Named("common_unit") = common_unit, Rcpp::Named("month") = month);
}

Rcpp::List Results() {
  std::vector<std::string> name, unit, description;
  Rcpp::LogicalVector in_length, text;
  for (const ResultColumn& column : ResultColumns()) {
    name.emplace_back(column.name);
    unit.emplace_back(column.unit);
    description.emplace_back(column.description);
    in_length.push_back(column.in_length);
    text.push_back(column.value == nullptr);
  }
  return Rcpp::List::create(Rcpp::Named("name") = Strings(name),
                            Rcpp::Named("unit") = Strings(unit),
                            Rcpp::Named("description") = Strings(description),
                            Rcpp::Named("in_length") = in_length, Rcpp::Named("text") = text);
}

}  // namespace

// The tables: inputs (by field, as the table's columns), results (the result
// columns in the table's order, `text` for the method), the texts of the
// method and status codes, the code of no method and of ok, the most threads.
// [[Rcpp::export]]
Rcpp::List contract_tables() {
  return Rcpp::List::create(
      Rcpp::Named("inputs") = Inputs(), Rcpp::Named("results") = Results(),
      Rcpp::Named("methods") = Strings(MethodTexts()),
      Rcpp::Named("statuses") = Strings(StatusTexts()),
      Rcpp::Named("status_description") = std::string(kStatusDescription),
      Rcpp::Named("no_method") = static_cast<int>(kNoMethod),
      Rcpp::Named("ok") = static_cast<int>(StatusCode(SoilStatus::kOk, RuntimeError::kNone)),
      Rcpp::Named("max_threads") = kMaxCpus);
}

// The CPUs the process may use (available_cpus.h): the default of threads.
// [[Rcpp::export]]
int available_cpus() { return AvailableCpus(); }

// Each result column's unit, lengths in `length`, the year spelt "year" as
// UDUNITS-2 and the units package read it (the table's header writes "a").
// [[Rcpp::export]]
Rcpp::CharacterVector result_units(std::string length) {
  std::vector<std::string> units;
  for (const ResultColumn& column : ResultColumns()) {
    units.push_back(ResultUnit(column, length, "year"));
  }
  return Strings(units);
}
