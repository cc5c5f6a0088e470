#include "table/table_columns.h"

#include "balance/field_names.h"

namespace recharge::table {

namespace {

constexpr std::string_view kIdName = "id";

// Every known name: the id, then the fields.
std::string_view KnownName(int known) {
  return known == 0 ? kIdName : FieldName(static_cast<InputField>(known - 1));
}
constexpr int kKnownCount = kInputFieldCount + 1;

std::string_view Lookalike(std::string_view name) {
  for (int known = 0; known < kKnownCount; ++known) {
    if (Resembles(name, KnownName(known))) return KnownName(known);
  }
  return {};
}

}  // namespace

bool MapColumns(const std::vector<std::string_view>& header, ColumnMap& map, std::string& problem,
                std::string& notice) {
  map.index.fill(kAbsent);
  map.id = kAbsent;
  map.fields = header.size();
  std::vector<std::string_view> unknown;
  for (std::size_t field = 0; field < header.size(); ++field) {
    int known = 0;
    while (known < kKnownCount && !SameName(KnownName(known), header[field])) ++known;
    if (known == kKnownCount) {
      if (!header[field].empty()) unknown.push_back(header[field]);
      continue;
    }
    std::size_t& slot = known == 0 ? map.id : map.index[known - 1];
    if (slot != kAbsent) {
      problem = "the header has the column " + std::string(KnownName(known)) + " twice (" +
                std::string(header[slot]) + " and " + std::string(header[field]) + ")";
      return false;
    }
    slot = field;
  }
  for (const InputField field : kRequiredFields) {
    if (map.Has(field)) continue;
    problem += problem.empty() ? "the header has no column " : ", no column ";
    problem += FieldName(field);
    for (std::string_view name : unknown) {
      if (Resembles(name, FieldName(field))) {
        problem += " (it has " + std::string(name) + ")";
        break;
      }
    }
  }
  notice.clear();
  for (std::string_view name : unknown) {
    notice += notice.empty() ? "ignoring the column" + std::string(unknown.size() > 1 ? "s " : " ")
                             : ", ";
    notice += name;
    const std::string_view lookalike = Lookalike(name);
    if (!lookalike.empty()) notice += " (did you mean " + std::string(lookalike) + "?)";
  }
  return problem.empty();
}

}  // namespace recharge::table
