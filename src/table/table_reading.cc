#include "table/table_reading.h"

#include <cstring>
#include <limits>

#include "balance/column_map.h"
#include "balance/field_units.h"
#include "table/csv_reader.h"

namespace recharge::table {

namespace {

// The columns of the header named, each an input field's with its unit
// resolved as recharge-table resolves it: a unit given, in a name or as the
// common unit, is written as the model's, which the values are converted to.
bool MapHeader(const std::vector<std::string_view>& names, std::string_view input_name,
               const UnitOptions& options, ColumnMap& map, ColumnUnits& units,
               std::vector<TableColumn>& columns, std::string& problem) {
  std::string notice;
  if (!MapColumns(names, kHeaderWords, map, problem, notice) ||
      !ResolveUnits(names, map, options, input_name, units, problem)) {
    return false;
  }
  columns.assign(names.size(), TableColumn());
  for (std::size_t i = 0; i < names.size(); ++i) columns[i].name = names[i];
  for (int f = 0; f < kInputFieldCount; ++f) {
    const InputField field = static_cast<InputField>(f);
    if (!map.Has(field)) continue;
    TableColumn& column = columns[map[field]];
    column.field = field;
    if (!ColumnUnit(column.name, field, options.common).empty()) {
      column.name =
          std::string(SplitUnit(column.name).name) + " [" + std::string(ModelUnit(field)) + "]";
    }
  }
  return true;
}

void Refuse(TableColumn& column, std::size_t row, std::string_view cell, std::string reason) {
  column.values.push_back(std::numeric_limits<double>::quiet_NaN());
  column.refused.push_back(row);
  column.refused_text.emplace_back(cell);
  column.reasons.push_back(std::move(reason));
}

}  // namespace

bool ReadSoilTable(int fd, std::optional<DecimalMark> decimal, std::string_view input_name,
                   const UnitOptions& options, SoilTable& table, std::string& problem,
                   int& error_number) {
  error_number = 0;
  CsvReader reader(fd);
  Record record;
  ReadStatus status = reader.Next(record);
  if (status == ReadStatus::kReadFailure) {
    error_number = reader.error_number();
    problem = std::strerror(error_number);
    return false;
  }
  if (status == ReadStatus::kEnd) {
    problem = "no header row";
    return false;
  }
  if (!record.error.empty()) {
    problem = "header: " + std::string(record.error);
    return false;
  }
  ColumnMap map;
  ColumnUnits units;
  std::vector<TableColumn>& columns = table.columns;
  table.lines.clear();
  if (!MapHeader(record.fields, input_name, options, map, units, columns, problem)) return false;
  if (map.id != kAbsent) reader.set_kept_field(map.id);
  const DecimalMark mark = decimal.value_or(
      AllowsDecimalComma(reader.delimiter()) ? DecimalMark::kComma : DecimalMark::kPoint);
  for (std::size_t row = 0; (status = reader.Next(record)) == ReadStatus::kRecord; ++row) {
    table.lines.push_back(record.line);
    std::string row_error(record.error);
    if (row_error.empty() && record.fields.size() != columns.size()) {
      row_error = FieldCountError(record.fields.size(), columns.size());
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
      TableColumn& column = columns[i];
      // A row the reader could not split keeps only its id; a row of another
      // number of fields keeps its id where it has one, as the table does.
      const std::string_view cell = row_error.empty()          ? record.fields[i]
                                    : i != map.id              ? std::string_view()
                                    : i < record.fields.size() ? record.fields[i]
                                                               : record.kept;
      if (!column.field) {
        column.text.emplace_back(cell);
      } else if (!row_error.empty()) {
        Refuse(column, row, cell, row_error);
      } else {
        double value = 0.0;
        std::string reason;
        if (ReadCell(FieldName(*column.field), cell, mark,
                     units.in[static_cast<int>(*column.field)], value, reason)) {
          column.values.push_back(value);
        } else {
          Refuse(column, row, cell, std::move(reason));
        }
      }
    }
  }
  if (status == ReadStatus::kReadFailure) {
    error_number = reader.error_number();
    problem = std::strerror(error_number);
    return false;
  }
  return true;
}

}  // namespace recharge::table
