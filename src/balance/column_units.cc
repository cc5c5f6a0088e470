#include "balance/column_units.h"

namespace recharge {

bool ResolveUnits(std::span<const std::string_view> names, const ColumnMap& columns,
                  const UnitOptions& options, std::string_view input_name, ColumnUnits& units,
                  std::string& problem) {
  std::array<std::string_view, kInputFieldCount> given{};
  units.named = !options.common.empty() || !options.output.empty();
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (!columns.Has(field)) continue;
    given[i] = ColumnUnit(names[columns[field]], field, options.common);
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
                   ? std::string(options.common_name) + ": "
                   : std::string(input_name) + ": column " + std::string(name) + ": ") +
              problem;
    return false;
  }
  if (!options.output.empty()) {
    if (!reader->LengthScale(options.output, units.out, problem)) {
      problem = std::string(options.output_name) + " " + problem;
      return false;
    }
    units.length = options.output;
  }
  return true;
}

bool NamedUnit(const FieldUnits& reader, std::string_view name, InputField field,
               std::string_view given, std::string_view given_name, std::string& unit,
               std::string& problem) {
  const std::string_view named = SplitUnit(name).unit;
  given = TrimmedUnit(given);
  unit = named.empty() ? given : named;
  UnitScale of_name, of_given;
  if (unit.empty()) return true;
  if (!reader.ScaleOf(field, unit, of_name, problem)) return false;
  if (named.empty() || given.empty() || named == given) return true;
  if (!reader.ScaleOf(field, given, of_given, problem)) return false;
  if (of_name.power_of_ten == of_given.power_of_ten && of_name.shift == of_given.shift &&
      of_name.factor == of_given.factor) {
    return true;
  }
  problem = "the name gives the unit " + std::string(named) + ", " + std::string(given_name) + " " +
            std::string(given);
  return false;
}

}  // namespace recharge
