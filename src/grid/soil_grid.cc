#include "grid/soil_grid.h"

#include <limits>

#include "balance/soil_results.h"
#include "grid/grid_blocks.h"
#include "table/cell_number.h"

namespace recharge::grid {

namespace {

class CellValues : public CaseValues {
 public:
  CellValues(const SoilGrid& grid, std::span<const std::size_t> index)
      : grid_(grid), index_(index) {}

  bool Read(InputField field, double& value) override {
    const std::optional<StridedArray>& refused = grid_.refused[static_cast<int>(field)];
    if (refused && (reason = refused->At(index_)) >= 0) return false;
    value = ScaledValue(grid_.fields[static_cast<int>(field)].At(index_),
                        grid_.scales[static_cast<int>(field)]);
    return true;
  }

  double reason = -1;  // of the value refused

 private:
  const SoilGrid& grid_;
  std::span<const std::size_t> index_;
};

void ComputeCell(const SoilGrid& grid, std::span<const std::size_t> index, std::size_t cell,
                 const GridOutputs& out) {
  CellValues values(grid, index);
  SoilCase soil;
  const InputProblem problem = ReadSoilCase(values, soil);
  SoilPass pass;  // an input error shows no column
  if (problem.kind == ProblemKind::kNone) {
    pass = RunSoilCase(soil);
    out.status[cell] = StatusCode(pass.status, pass.fault);
  } else if (problem.kind == ProblemKind::kNoValue && grid.missing == MissingRequired::kNoData) {
    out.status[cell] = StatusCode(SoilStatus::kNoData, RuntimeError::kNone);
  } else {
    out.status[cell] = StatusCode(SoilStatus::kInputError, RuntimeError::kNone);
  }
  const std::span<const ResultColumn> columns = ResultColumns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const bool shown = columns[c].shown(pass);
    if (columns[c].value == nullptr) {
      out.method[cell] = shown ? MethodCode(pass.record.method) : kNoMethod;
    } else if (!shown) {
      out.columns[c][cell] = std::numeric_limits<double>::quiet_NaN();
    } else {
      const double value = columns[c].value(pass.record);
      out.columns[c][cell] = columns[c].in_length ? table::ResultIn(value, out.length) : value;
    }
  }
}

}  // namespace

bool RunSoilGrid(const SoilGrid& grid, WorkerPool& pool, const GridOutputs& out,
                 const std::function<bool()>& stop) {
  return ForEachCell(
      grid.shape, pool,
      [&](std::size_t cell, std::span<const std::size_t> index) {
        ComputeCell(grid, index, cell, out);
      },
      stop);
}

std::vector<CellProblem> InputProblems(const SoilGrid& grid, const std::uint8_t* status) {
  std::vector<CellProblem> problems;
  const std::size_t cells = CellCount(grid.shape);
  if (cells == 0) return problems;
  GridIndex index(grid.shape, 0);
  for (std::size_t cell = 0; cell < cells; ++cell, index.Next()) {
    if (status[cell] != StatusCode(SoilStatus::kInputError, RuntimeError::kNone)) continue;
    CellValues values(grid, index.index());
    SoilCase soil;
    InputProblem problem = ReadSoilCase(values, soil);
    if (problem.kind == ProblemKind::kRefused) problem.value = values.reason;
    problems.push_back({cell, problem});
  }
  return problems;
}

}  // namespace recharge::grid
