#include "table/table_columns.h"

namespace recharge::table {

namespace {

constexpr std::string_view kNames[] = {
    "id",      "P",       "ETp",   "Ps",    "ETps",  "Cs",   "rain4",
    "rain5",   "rain6",   "rain7", "rain8", "rain9", "etp4", "etp5",
    "etp6",    "etp7",    "etp8",  "etp9",  "zr",    "zgw",  "class",
    "theta_r", "theta_s", "alpha", "n",     "p1",    "p2",   "anaerobiosis",
};
static_assert(std::size(kNames) == static_cast<std::size_t>(Column::kCount));

constexpr Column kRequired[] = {Column::kP,  Column::kETp, Column::kPs,   Column::kETps,
                                Column::kZr, Column::kZgw, Column::kClass};

}  // namespace

std::string_view ColumnName(Column column) { return kNames[static_cast<std::size_t>(column)]; }

bool MapColumns(const std::vector<std::string_view>& header, ColumnMap& map, std::string& problem) {
  map.index.fill(kAbsent);
  map.fields = header.size();
  map.unknown.clear();
  for (std::size_t field = 0; field < header.size(); ++field) {
    std::size_t known = 0;
    while (known < std::size(kNames) && kNames[known] != header[field]) ++known;
    if (known == std::size(kNames)) {
      if (!header[field].empty()) map.unknown.emplace_back(header[field]);
      continue;
    }
    if (map.index[known] != kAbsent) {
      problem = "the header has the column " + std::string(kNames[known]) + " twice";
      return false;
    }
    map.index[known] = field;
  }
  for (Column column : kRequired) {
    if (!map.Has(column)) {
      problem = "the header has no column " + std::string(ColumnName(column));
      return false;
    }
  }
  return true;
}

}  // namespace recharge::table
