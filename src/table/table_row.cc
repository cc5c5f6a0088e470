#include "table/table_row.h"

#include "soil/soil_class_table.h"
#include "table/cell_number.h"
#include "table/csv_writer.h"

namespace recharge::table {

namespace {

// A cell as an input error message quotes it: at most this many bytes.
constexpr std::size_t kExcerpt = 40;

std::string Quoted(std::string_view cell) {
  if (cell.size() <= kExcerpt) return "\"" + std::string(cell) + "\"";
  return "\"" + std::string(cell.substr(0, kExcerpt)) + "...\" (" + std::to_string(cell.size()) +
         " bytes)";
}

// Reads the cells of one row; the first problem is kept in `problem`.
class CellReader {
 public:
  CellReader(const RawRow& row, const ColumnMap& columns, bool decimal_comma)
      : row_(row), columns_(columns), decimal_comma_(decimal_comma) {}

  std::string_view Cell(Column column) const {
    return columns_.Has(column) ? row_.Field(columns_[column]) : std::string_view();
  }

  bool Number(Column column, double& value) {
    const std::string_view cell = Cell(column);
    switch (ParseNumber(cell, decimal_comma_, value)) {
      case ParseOutcome::kOk:
        return true;
      case ParseOutcome::kEmpty:
        return Fail(column, "no value");
      case ParseOutcome::kNotANumber:
        return Fail(column, Quoted(cell) + " is not a number");
      case ParseOutcome::kOutOfRange:
        break;
    }
    return Fail(column, Quoted(cell) + " is beyond the range of a double");
  }

  bool Fail(std::string text) {
    problem = std::move(text);
    return false;
  }
  bool Fail(Column column, const std::string& text) {
    return Fail(std::string(ColumnName(column)) + ": " + text);
  }

  std::string problem;

 private:
  const RawRow& row_;
  const ColumnMap& columns_;
  bool decimal_comma_;
};

// The column of the month `month` (0 for April) after `first`.
Column Month(Column first, int month) {
  return static_cast<Column>(static_cast<int>(first) + month);
}

bool ReadClimate(CellReader& cells, SoilInputs& in, bool& cs_typed) {
  ClimateInputs& c = in.climate;
  if (!cells.Number(Column::kP, c.P) || !cells.Number(Column::kETp, c.ETp) ||
      !cells.Number(Column::kPs, c.Ps) || !cells.Number(Column::kETps, c.ETps)) {
    return false;
  }
  cs_typed = !cells.Cell(Column::kCs).empty();
  if (cs_typed) return cells.Number(Column::kCs, c.Cs);
  for (int month = 0; month < 6; ++month) {
    for (Column first : {Column::kRain4, Column::kEtp4}) {
      if (cells.Cell(Month(first, month)).empty()) {
        return cells.Fail("no Cs and no complete monthly data");
      }
    }
  }
  GrowingSeason months;
  for (int month = 0; month < 6; ++month) {
    if (!cells.Number(Month(Column::kRain4, month), months.rain[month]) ||
        !cells.Number(Month(Column::kEtp4, month), months.etp[month])) {
      return false;
    }
  }
  in.months = months;
  return true;
}

bool ReadSoil(CellReader& cells, const ColumnMap& columns, SoilInputs& in) {
  if (!cells.Number(Column::kZr, in.site.zr) || !cells.Number(Column::kZgw, in.site.zgw)) {
    return false;
  }
  const std::string_view cell = cells.Cell(Column::kClass);
  std::int32_t number = -1;
  if (ParseInteger(cell, number) != ParseOutcome::kOk) {
    return cells.Fail(Column::kClass, Quoted(cell) + " is not a soil class (0 to 34)");
  }
  if (number < 0 || number > kSoilClassCount) {
    return cells.Fail(Column::kClass, std::to_string(number) + " is not a soil class (0 to 34)");
  }
  SoilHydraulicParameters& soil = in.soil;
  if (number > 0) {
    const SoilClassRow& row = *SoilClass(number);
    soil = {row.theta_r, row.theta_s, row.alpha, row.n, 0.0, row.p1, row.p2};
    return true;
  }
  const struct {
    Column column;
    double* value;
  } own[] = {{Column::kThetaR, &soil.theta_r}, {Column::kThetaS, &soil.theta_s},
             {Column::kAlpha, &soil.alpha},    {Column::kN, &soil.n},
             {Column::kP1, &soil.p1},          {Column::kP2, &soil.p2}};
  for (const auto& parameter : own) {
    if (!columns.Has(parameter.column)) {
      return cells.Fail("class 0 needs the column " + std::string(ColumnName(parameter.column)));
    }
    if (!cells.Number(parameter.column, *parameter.value)) return false;
  }
  return true;
}

bool ReadAnaerobiosis(CellReader& cells, bool& expected) {
  const std::string_view cell = cells.Cell(Column::kAnaerobiosis);
  std::int32_t answer = 0;
  if (!cell.empty() &&
      (ParseInteger(cell, answer) != ParseOutcome::kOk || answer < 0 || answer > 1)) {
    return cells.Fail(Column::kAnaerobiosis, Quoted(cell) + " is not 0 or 1");
  }
  expected = answer == 1;
  return true;
}

// Notes the steps that finish; answers the anaerobiosis question from the row.
class RowObserver : public SoilObserver {
 public:
  explicit RowObserver(bool anaerobiosis) : anaerobiosis_(anaerobiosis) {}
  void Finished(SoilStep step, const SoilRecord&) override {
    finished |= std::uint32_t{1} << static_cast<int>(step);
  }
  bool SevereAnaerobiosisExpected() override { return anaerobiosis_; }

  std::uint32_t finished = 0;

 private:
  bool anaerobiosis_;
};

bool Done(const RowResult& result, SoilStep step) {
  return (result.finished >> static_cast<int>(step)) & 1;
}

}  // namespace

std::string_view RawRow::Field(std::size_t index) const {
  const std::size_t begin = index == 0 ? 0 : ends[index - 1];
  return std::string_view(bytes).substr(begin, ends[index] - begin);
}

RowResult ComputeRow(const RawRow& row, const ColumnMap& columns, bool decimal_comma) {
  RowResult result;
  if (!row.error.empty()) {
    result.message = row.error;
    return result;
  }
  if (row.ends.size() != columns.fields) {
    result.message = std::to_string(row.ends.size()) + " fields where the header has " +
                     std::to_string(columns.fields);
    return result;
  }
  CellReader cells(row, columns, decimal_comma);
  SoilInputs inputs{};
  bool anaerobiosis = false;
  if (!ReadClimate(cells, inputs, result.cs_typed) || !ReadSoil(cells, columns, inputs) ||
      !ReadAnaerobiosis(cells, anaerobiosis)) {
    result.message = std::move(cells.problem);
    return result;
  }
  RowObserver observer(anaerobiosis);
  const SoilRun run = RunSoilBalanceRecovering(inputs, observer, result.record);
  result.finished = observer.finished;
  result.fault = run.fault;
  switch (run.outcome) {
    case SoilOutcome::kDone:
      result.status = RowStatus::kOk;
      break;
    case SoilOutcome::kNoConvergence:
      result.status = RowStatus::kNoConvergence;
      break;
    case SoilOutcome::kFault:
      result.status = RowStatus::kFault;
      break;
  }
  return result;
}

void AppendOutputHeader(const ColumnMap& columns, char delimiter, std::string& out) {
  if (columns.Has(Column::kId)) {
    out += "id";
    out += delimiter;
  }
  for (std::string_view name :
       {"Cs", "FC", "WP", "Wmax", "qmax", "method", "nB", "h_an", "g", "ETa", "R"}) {
    out += name;
    out += delimiter;
  }
  out += "status";
  AppendRecordEnd(out);
}

void AppendOutputRow(const RawRow& row, const RowResult& result, const ColumnMap& columns,
                     char delimiter, bool decimal_comma, std::string& out) {
  if (columns.Has(Column::kId)) {
    // A row the reader could not split has no fields to take the id from.
    if (row.ends.size() > columns[Column::kId]) {
      AppendField(row.Field(columns[Column::kId]), delimiter, out);
    }
    out += delimiter;
  }
  const SoilRecord& r = result.record;
  const bool computed = result.status != RowStatus::kInputError;
  auto number = [&](bool shown, double value) {
    if (computed && shown) AppendNumber(value, decimal_comma, out);
    out += delimiter;
  };
  const bool bagrov = r.method == BalanceMethod::kBagrov;
  number(result.cs_typed || Done(result, SoilStep::kSimultaneity), r.climate.Cs);
  number(Done(result, SoilStep::kStorage), r.water.FC);
  number(Done(result, SoilStep::kStorage), r.water.WP);
  number(Done(result, SoilStep::kStorage), r.water.Wmax);
  number(Done(result, SoilStep::kQmax), r.water.qmax);
  if (computed && Done(result, SoilStep::kMethodChoice)) {
    out += bagrov ? "bagrov" : "hydropedotransfer";
  }
  out += delimiter;
  number(Done(result, SoilStep::kLimits), r.result.nB);
  number(Done(result, SoilStep::kAnaerobiosisHead), r.water.h_an);
  number(Done(result, SoilStep::kHydropedotransfer), r.result.g);
  number(Done(result, SoilStep::kSolver) || Done(result, SoilStep::kHydropedotransfer),
         r.result.ETa);
  number(Done(result, SoilStep::kRecharge), r.result.R);
  switch (result.status) {
    case RowStatus::kOk:
      out += "ok";
      break;
    case RowStatus::kNoConvergence:
      out += "no convergence";
      break;
    case RowStatus::kFault:
      AppendField(ReportLine(result.fault), delimiter, out);
      break;
    case RowStatus::kInputError:
      AppendField("input error: " + result.message, delimiter, out);
      break;
  }
  AppendRecordEnd(out);
}

}  // namespace recharge::table
