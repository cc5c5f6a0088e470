// A grid of soils, every cell one soil read from the arrays of its fields
// (soil_case.h: the one place of the input rules) and run through the model
// with its faults as values, the cells shared out in blocks among the threads
// of a pool. Each cell is the same soil as a row of recharge-table with the
// same values, and gives the very same doubles; NaN is a value not given, as
// an empty cell.
//
//   P 60, ETp 55, Ps 30, ETps 40, Cs 0.3, zr 60, zgw 200, class 1 in one cell
//   -> status ok, method bagrov, Cs 0.3, FC 0.1434827632742888, ...,
//      ETa 48.79369975234298, R 11.206300247657019; nB and g NaN
//   the same with zr NaN  -> status no data (kNoData) or input error
//                            "zr: no value" (kInputError); every column NaN
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "balance/soil_case.h"
#include "balance/unit_scale.h"
#include "grid/strided_array.h"
#include "runtime/worker_pool.h"

namespace recharge::grid {

// What a required value that is not given makes of a cell: no data, as on a
// raster, or the input error of an empty cell, as in a table.
enum class MissingRequired { kNoData, kInputError };

struct SoilGrid {
  std::span<const std::size_t> shape;                 // at most kMaxAxes axes
  std::array<StridedArray, kInputFieldCount> fields;  // by InputField, each of `shape`
  MissingRequired missing = MissingRequired::kNoData;
  // By InputField, where a field has cells that could not be read as numbers
  // (a text in a frame's column): the index of the reason for each such cell,
  // -1 for the others. A refused value is the cell's input error when the
  // input rules read it, as a table's cell that is no number.
  std::array<std::optional<StridedArray>, kInputFieldCount> refused;
  // By InputField, the scale from the unit of its values to the model's unit
  // (unit_scale.h: ScaledValue).
  std::array<UnitScale, kInputFieldCount> scales{};
};

// The outputs, each an array of the grid's cells in C order.
struct GridOutputs {
  std::vector<double*> columns;  // by ResultColumns(); nullptr for the method
  std::uint8_t* method;          // codes of soil_results.h
  std::uint8_t* status;
  UnitScale length;  // of the results' lengths from cm, as the table writes them (ResultIn)
};

// Computes every cell. A column the cell's pass does not show is NaN, its
// method kNoMethod then. The outputs do not depend on the pool's threads.
// stop() is asked between blocks of cells (grid_blocks.h: ForEachCell); false
// when it said yes, the outputs then only partly written.
bool RunSoilGrid(const SoilGrid& grid, WorkerPool& pool, const GridOutputs& out,
                 const std::function<bool()>& stop);

struct CellProblem {
  std::size_t cell;      // in C order
  InputProblem problem;  // a refused value: kRefused with the reason's index as its value
};

// What is wrong with each cell whose status is input error, in cell order,
// read again from the grid.
std::vector<CellProblem> InputProblems(const SoilGrid& grid, const std::uint8_t* status);

}  // namespace recharge::grid
