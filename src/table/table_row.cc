#include "table/table_row.h"

#include <cmath>
#include <limits>

#include "table/cell_excerpt.h"
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
    const UnitScale& scale = units_.in[static_cast<int>(field)];
    const char* reason = nullptr;
    switch (ParseNumber(cell, mark_, value, scale.shift)) {
      case ParseOutcome::kOk:
        if (scale.power_of_ten) return true;
        if (std::fabs(value) <= scale.largest) {
          value *= scale.factor;
          return true;
        }
        reason = " is beyond the range of a double in the model's unit";
        break;
      case ParseOutcome::kEmpty:
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
      case ParseOutcome::kNotANumber:
        reason = " is not a number";
        break;
      case ParseOutcome::kOtherMark:
        reason = mark_ == DecimalMark::kComma ? ": a point in a table with decimal commas"
                                              : ": a comma in a table with decimal points";
        break;
      case ParseOutcome::kOutOfRange:
        reason = " is beyond the range of a double";
        break;
    }
    problem = std::string(FieldName(field)) + ": " + Excerpt(cell) + reason;
    return false;
  }

  std::string problem;

 private:
  const RawRow& row_;
  const ColumnMap& columns_;
  const ColumnUnits& units_;
  DecimalMark mark_;
};

std::string InputError(const RawRow& row, std::string_view what) {
  return "line " + std::to_string(row.line) + ": " + std::string(what);
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
    result.message =
        InputError(row, std::to_string(row.ends.size()) + " fields where the header has " +
                            std::to_string(columns.fields));
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
        const double value = column.value(pass.record);
        AppendNumber(std::fabs(value) <= units.out.largest ? value * units.out.factor
                                                           : std::copysign(HUGE_VAL, value),
                     mark, out);
      }
    }
    out += delimiter;
  }
  switch (pass.status) {
    case SoilStatus::kOk:
    case SoilStatus::kNoConvergence:
      out += NamesOf(pass.status).status;
      break;
    case SoilStatus::kFault:
      AppendField(ReportLine(pass.fault), delimiter, out);
      break;
    case SoilStatus::kInputError:
      AppendField(std::string(NamesOf(pass.status).status) + ": " + result.message, delimiter, out);
      break;
  }
  AppendRecordEnd(out);
}

}  // namespace recharge::table
