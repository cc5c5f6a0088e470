#include "python_binding/contract_tables.h"

#include <string>

#include "balance/field_units.h"
#include "balance/soil_results.h"

namespace py = pybind11;

namespace recharge::python {

namespace {

std::string Text(std::string_view text) { return std::string(text); }

}  // namespace

py::tuple ResultUnits(std::string_view length, std::string_view year) {
  py::list units;
  for (const ResultColumn& column : ResultColumns()) {
    units.append(ResultUnit(column, length, year));
  }
  return py::tuple(units);
}

py::tuple FieldsWhere(bool (*wanted)(InputField)) {
  py::list names;
  for (int field = 0; field < kInputFieldCount; ++field) {
    if (wanted(static_cast<InputField>(field))) {
      names.append(std::string(FieldName(static_cast<InputField>(field))));
    }
  }
  return py::tuple(names);
}

py::tuple Inputs() {
  py::list inputs;
  for (int field = 0; field < kInputFieldCount; ++field) {
    const InputInfo& input = InfoOf(static_cast<InputField>(field));
    const QuantityInfo& quantity = InfoOf(input.quantity);
    py::list offered;
    for (const std::string_view unit : quantity.offered) offered.append(Text(unit));
    inputs.append(py::make_tuple(
        Text(input.name), Text(input.description), Text(quantity.name), Text(quantity.model_unit),
        py::tuple(offered), Text(GroupName(input.group)), input.required,
        input.month < 0 ? py::object(py::none()) : py::object(py::int_(input.month + 4))));
  }
  return py::tuple(inputs);
}

py::tuple Series() {
  py::list all;
  for (const MonthSeries& series : MonthSeriesList()) {
    py::list months;
    for (int month = 0; month < kMonths; ++month) {
      months.append(Text(FieldName(MonthField(series.first, month))));
    }
    all.append(py::make_tuple(Text(series.name), Text(series.description), py::tuple(months)));
  }
  return py::tuple(all);
}

py::tuple Columns() {
  py::list columns;
  for (const ResultColumn& column : ResultColumns()) {
    columns.append(py::make_tuple(Text(column.name), Text(column.unit), Text(column.description),
                                  column.in_length, column.value == nullptr));
  }
  return py::tuple(columns);
}

}  // namespace recharge::python
