#include "table/table_row.h"

#include <cmath>

#include "table/csv_reader.h"
#include "table/csv_writer.h"

namespace recharge::table {

namespace {

// The cells of one row as the values of a soil; a cell that is not a number
// is refused with the reason kept in `problem`.
class RowValues : public CaseValues {
 public:
  RowValues(const RawRow& row, const ColumnMap& columns, const ColumnUnits& units, DecimalMark mark)
      : row_(row), columns_(columns), units_(units), mark_(mark) {}

  bool Read(InputField field, double& value) override {
    const std::string_view cell = columns_.Has(field) ? row_.Field(columns_[field]) : "";
    return ReadCell(FieldName(field), cell, mark_, units_.in[static_cast<int>(field)], value,
                    problem);
  }

  std::string problem;

 private:
  const RawRow& row_;
  const ColumnMap& columns_;
  const ColumnUnits& units_;
  DecimalMark mark_;
};

std::string InputError(const RawRow& row, std::string_view what) {
  return LineProblem(row.line, what);
}

}  // namespace

std::string_view RawRow::Field(std::size_t index) const {
  const std::size_t begin = index == 0 ? 0 : ends[index - 1];
  return std::string_view(bytes).substr(begin, ends[index] - begin);
}

RowResult ComputeRow(const RawRow& row, const ColumnMap& columns, const ColumnUnits& units,
                     DecimalMark mark) {
  RowResult result;
  if (!row.error.empty()) {
    result.message = InputError(row, row.error);
    return result;
  }
  if (row.ends.size() != columns.fields) {
    result.message = InputError(row, FieldCountError(row.ends.size(), columns.fields));
    return result;
  }
  RowValues values(row, columns, units, mark);
  SoilCase soil;
  const InputProblem problem = ReadSoilCase(values, soil);
  if (problem.kind != ProblemKind::kNone) {
    result.message = InputError(
        row, problem.kind == ProblemKind::kRefused ? values.problem : ProblemText(problem));
    return result;
  }
  result.pass = RunSoilCase(soil);
  return result;
}

void AppendOutputHeader(const ColumnMap& columns, const ColumnUnits& units, char delimiter,
                        std::string& out) {
  if (columns.id != kAbsent) {
    out += "id";
    out += delimiter;
  }
  for (const ResultColumn& column : ResultColumns()) {
    out += column.name;
    if (units.named && !column.unit.empty()) {
      out += " [" + ResultUnit(column, units.length, "a") + "]";
    }
    out += delimiter;
  }
  out += "status";
  AppendRecordEnd(out);
}

void AppendOutputRow(const RawRow& row, const RowResult& result, const ColumnMap& columns,
                     const ColumnUnits& units, char delimiter, DecimalMark mark, std::string& out) {
  if (columns.id != kAbsent) {
    // A row the reader could not split has no fields; its id may be known.
    AppendField(row.ends.size() > columns.id ? row.Field(columns.id) : row.id, delimiter, out);
    out += delimiter;
  }
  const SoilPass& pass = result.pass;
  for (const ResultColumn& column : ResultColumns()) {
    if (column.shown(pass)) {
      if (column.value == nullptr) {
        out += MethodName(pass.record.method);
      } else if (!column.in_length || units.out.power_of_ten) {
        AppendNumber(column.value(pass.record), mark, out, column.in_length ? units.out.shift : 0);
      } else {
        AppendNumber(ResultIn(column.value(pass.record), units.out), mark, out);
      }
    }
    out += delimiter;
  }
  switch (pass.status) {
    case SoilStatus::kOk:
    case SoilStatus::kNoConvergence:
    case SoilStatus::kNoData:  // a grid's alone
      out += NamesOf(pass.status).status;
      break;
    case SoilStatus::kFault:
      AppendField(ReportLine(pass.fault), delimiter, out);
      break;
    case SoilStatus::kInputError:
      AppendField(InputErrorStatus(result.message), delimiter, out);
      break;
  }
  AppendRecordEnd(out);
}

}  // namespace recharge::table
