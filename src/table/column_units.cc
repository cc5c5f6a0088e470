#include "table/column_units.h"

namespace recharge::table {

bool ResolveUnits(std::span<const std::string_view> names, const ColumnMap& columns,
                  const Options& options, std::string_view input_name, ColumnUnits& units,
                  std::string& problem) {
  std::array<std::string_view, kInputFieldCount> given{};
  units.named = !options.units.empty() || !options.output_units.empty();
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (!columns.Has(field)) continue;
    given[i] = ColumnUnit(names[columns[field]], field, options.units);
    if (!given[i].empty()) units.named = true;
  }
  if (!units.named) return true;

  const FieldUnits* const reader = FieldUnits::Load(problem);
  if (reader == nullptr) return false;
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (given[i].empty() || reader->ScaleOf(field, given[i], units.in[i], problem)) continue;
    const std::string_view name = names[columns[field]];
    problem = (SplitUnit(name).unit.empty()
                   ? "--units: "
                   : std::string(input_name) + ": column " + std::string(name) + ": ") +
              problem;
    return false;
  }
  if (!options.output_units.empty()) {
    if (!reader->LengthScale(options.output_units, units.out, problem)) {
      problem = "--output-units " + problem;
      return false;
    }
    units.length = options.output_units;
  }
  return true;
}

}  // namespace recharge::table
