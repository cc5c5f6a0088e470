// The model on R vectors, every cell one soil of the same values as a row of
// recharge-table (soil_grid.h), the cells in blocks on a pool of threads
// while R's thread asks for interrupts between them.
#include <Rcpp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "balance/soil_results.h"
#include "field_scales.h"
#include "grid/grid_blocks.h"
#include "grid/soil_grid.h"
#include "interrupt.h"
#include "table/csv_reader.h"
#include "text.h"

namespace {

using namespace recharge;
using grid::ElementType;
using grid::StridedArray;

// A vector of the cells' values: of one value, repeated, or of one each.
StridedArray ViewOf(SEXP vector, ElementType type, std::ptrdiff_t size, R_xlen_t cells) {
  const R_xlen_t length = Rf_xlength(vector);
  if (length != 1 && length != cells) Rcpp::stop("an input of another length than the cells");
  const void* data = type == ElementType::kFloat64 ? static_cast<const void*>(REAL(vector))
                                                   : static_cast<const void*>(INTEGER(vector));
  return {static_cast<const char*>(data), type, {length == 1 ? 0 : size}};
}

// The statuses of the cells with input errors, `lines` naming each cell's
// input line where given.
Rcpp::CharacterVector InputErrors(const grid::SoilGrid& grid, const std::uint8_t* status,
                                  R_xlen_t cells, const Rcpp::List& refused, SEXP lines) {
  Rcpp::CharacterVector texts(cells, NA_STRING);
  for (const grid::CellProblem& cell : grid::InputProblems(grid, status)) {
    std::string text;
    if (cell.problem.kind == ProblemKind::kRefused) {
      const Rcpp::List field_refused = refused[static_cast<int>(cell.problem.field)];
      const Rcpp::CharacterVector reasons = field_refused["reasons"];
      text = Rcpp::as<std::string>(reasons[static_cast<R_xlen_t>(cell.problem.value)]);
    } else {
      text = ProblemText(cell.problem);
    }
    const auto at = static_cast<R_xlen_t>(cell.cell);
    if (!Rf_isNull(lines)) text = table::LineProblem(INTEGER(lines)[at], text);
    SET_STRING_ELT(texts, at, r::Text(text));
  }
  return texts;
}

}  // namespace

// values: by field, NULL (not given) or a double vector of 1 or `cells`
// values; refused: by field, NULL or list(codes: an integer vector of the
// cells, the index from 0 into `reasons` of each cell that could not be
// read, -1 for the others; reasons); units: by field, the unit of its values,
// NA for the model's (checked before); output_units: "" for cm; no_data: a
// required value not given is "no data" (else the table's input error);
// lines: NULL or each cell's input line.
// -> list(columns: the value columns, NA where the table leaves the cell
//    empty; method, status: codes of the contract; input_error: the reason of
//    each input error, NA for the other cells)
// [[Rcpp::export]]
Rcpp::List balance_cells(Rcpp::List values, double cells, Rcpp::List refused,
                         Rcpp::CharacterVector units, std::string output_units, bool no_data,
                         SEXP lines, int threads) {
  if (values.size() != kInputFieldCount || refused.size() != kInputFieldCount ||
      units.size() != kInputFieldCount) {
    Rcpp::stop("one entry for every input");
  }
  const auto count = static_cast<R_xlen_t>(cells);
  const std::array<std::size_t, 1> shape = {static_cast<std::size_t>(count)};
  grid::SoilGrid soils{
      shape,
      {},
      no_data ? grid::MissingRequired::kNoData : grid::MissingRequired::kInputError,
      {},
      {}};
  static constexpr double kNotGiven = std::numeric_limits<double>::quiet_NaN();
  for (int f = 0; f < kInputFieldCount; ++f) {
    const InputField field = static_cast<InputField>(f);
    SEXP given = values[f];
    soils.fields[f] =
        Rf_isNull(given)
            ? StridedArray{reinterpret_cast<const char*>(&kNotGiven), ElementType::kFloat64, {0}}
            : ViewOf(given, ElementType::kFloat64, sizeof(double), count);
    if (!Rf_isNull(refused[f])) {
      const Rcpp::List field_refused = refused[f];
      soils.refused[f] = ViewOf(field_refused["codes"], ElementType::kInt32, sizeof(int), count);
    }
    if (units[f] != NA_STRING) {
      soils.scales[f] = r::ScaleOf(field, Rcpp::as<std::string>(units[f]), FieldName(field));
    }
  }
  if (!Rf_isNull(lines) && Rf_xlength(lines) != count) Rcpp::stop("a line for every cell");

  Rcpp::List columns;
  grid::GridOutputs out;
  for (const ResultColumn& column : ResultColumns()) {
    if (column.value == nullptr) {
      out.columns.push_back(nullptr);
      continue;
    }
    Rcpp::NumericVector values_of(count);
    out.columns.push_back(values_of.begin());
    columns.push_back(values_of, std::string(column.name));
  }
  std::vector<std::uint8_t> method(count), status(count);
  out.method = method.data();
  out.status = status.data();
  if (!output_units.empty()) out.length = r::LengthScaleOf(output_units);

  WorkerPool pool(static_cast<int>(std::clamp<std::size_t>(
      grid::BlockCount(shape), 1, static_cast<std::size_t>(std::max(threads, 1)))));
  if (!grid::RunSoilGrid(soils, pool, out, r::Interrupted)) {
    throw Rcpp::internal::InterruptedException();
  }
  for (double* column : out.columns) {
    if (column == nullptr) continue;
    std::replace_if(
        column, column + count, [](double v) { return std::isnan(v); }, NA_REAL);
  }
  return Rcpp::List::create(
      Rcpp::Named("columns") = columns,
      Rcpp::Named("method") = Rcpp::IntegerVector(method.begin(), method.end()),
      Rcpp::Named("status") = Rcpp::IntegerVector(status.begin(), status.end()),
      Rcpp::Named("input_error") = InputErrors(soils, out.status, count, refused, lines));
}
