// Tables and text cells read as recharge-table reads them (table_reading.h,
// cell_number.h): every number the correctly rounded double of its text, in
// the model's unit, which R's own reading of numbers is not.
#include <Rcpp.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "field_scales.h"
#include "table/cell_number.h"
#include "table/table_reading.h"
#include "text.h"

namespace {

using namespace recharge;

class OpenFile {
 public:
  explicit OpenFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) Rcpp::stop(path + ": " + std::strerror(errno));
  }
  ~OpenFile() { close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

Rcpp::CharacterVector Texts(const std::vector<std::string>& texts) {
  Rcpp::CharacterVector out(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) SET_STRING_ELT(out, i, r::Text(texts[i]));
  return out;
}

// An input column: its numbers, NA for an empty cell; or, where it has cells
// that could not be read, list(text, reasons): each number as the shortest
// text that reads back as it, each such cell as it stands with its reason.
SEXP NumberColumn(const table::TableColumn& column) {
  if (column.refused.empty()) {
    Rcpp::NumericVector values(column.values.begin(), column.values.end());
    std::replace_if(
        values.begin(), values.end(), [](double v) { return std::isnan(v); }, NA_REAL);
    return values;
  }
  Rcpp::CharacterVector text(column.values.size(), NA_STRING);
  Rcpp::CharacterVector reasons(column.values.size(), NA_STRING);
  for (std::size_t row = 0; row < column.values.size(); ++row) {
    if (std::isnan(column.values[row])) continue;
    std::string number;
    table::AppendNumber(column.values[row], table::DecimalMark::kPoint, number);
    text[row] = number;
  }
  for (std::size_t i = 0; i < column.refused.size(); ++i) {
    SET_STRING_ELT(text, column.refused[i], r::Text(column.refused_text[i]));
    SET_STRING_ELT(reasons, column.refused[i], r::Text(column.reasons[i]));
  }
  return Rcpp::List::create(Rcpp::Named("text") = text, Rcpp::Named("reasons") = reasons);
}

}  // namespace

// The table at `path` with recharge-table's --decimal ("" to find it from
// the delimiter), --units and --output-units ("" for none).
// -> list(names, columns, lines): each column's name (a converted one named
//    in the model's unit: "P [cm]"), its values (NumberColumn for an input's,
//    the texts as read for another), the input line of each row. An R error
//    when the table cannot be read at all, as recharge-table refuses it.
// [[Rcpp::export]]
Rcpp::List read_soil_table(std::string path, std::string decimal, std::string units,
                           std::string output_units) {
  std::optional<table::DecimalMark> mark;
  if (decimal == "comma") mark = table::DecimalMark::kComma;
  if (decimal == "point") mark = table::DecimalMark::kPoint;
  const OpenFile file(path);
  table::SoilTable soils;
  std::string problem;
  int error_number = 0;
  if (!table::ReadSoilTable(file.fd(), mark, path, {units, output_units, "units", "output_units"},
                            soils, problem, error_number)) {
    Rcpp::stop(error_number != 0 ? path + ": " + problem : problem);
  }
  Rcpp::CharacterVector names(soils.columns.size());
  Rcpp::List columns(soils.columns.size());
  for (std::size_t i = 0; i < soils.columns.size(); ++i) {
    const table::TableColumn& column = soils.columns[i];
    SET_STRING_ELT(names, i, r::Text(column.name));
    columns[i] = column.field ? NumberColumn(column) : SEXP(Texts(column.text));
  }
  return Rcpp::List::create(
      Rcpp::Named("names") = names, Rcpp::Named("columns") = columns,
      Rcpp::Named("lines") = Rcpp::IntegerVector(soils.lines.begin(), soils.lines.end()));
}

// A frame's text cells of the input `field` in `unit` ("" for the model's),
// each read as the table reads a cell with a decimal point, the blanks
// around it dropped (cell_number.h: ReadTextCell). -> list(values: in the model's unit, NA where a
// cell is NA, empty or no number; reasons: why a cell is no number, else NA)
// [[Rcpp::export]]
Rcpp::List read_cells(std::string field, std::string unit, Rcpp::CharacterVector cells) {
  const InputField input = r::FieldOf(field);
  const UnitScale scale = unit.empty() ? UnitScale() : r::ScaleOf(input, unit, "column " + field);
  Rcpp::NumericVector values(cells.size(), NA_REAL);
  Rcpp::CharacterVector reasons(cells.size(), NA_STRING);
  for (R_xlen_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == NA_STRING) continue;
    double value = 0.0;
    std::string reason;
    if (!table::ReadTextCell(FieldName(input),
                             std::string_view(CHAR(cells[i]), Rf_length(cells[i])), scale, value,
                             reason)) {
      SET_STRING_ELT(reasons, i, r::Text(reason));
    } else if (!std::isnan(value)) {
      values[i] = value;
    }
  }
  return Rcpp::List::create(Rcpp::Named("values") = values, Rcpp::Named("reasons") = reasons);
}
