#include "balance/column_map.h"

#include <vector>

#include "balance/field_names.h"

namespace recharge {

namespace {

constexpr std::string_view kIdName = "id";

// Every known name: the id, then the fields; the id only `with_id`.
std::string_view KnownName(int known) {
  return known == 0 ? kIdName : FieldName(static_cast<InputField>(known - 1));
}
constexpr int kKnownCount = kInputFieldCount + 1;
int FirstKnown(bool with_id) { return with_id ? 0 : 1; }

std::string_view Lookalike(std::string_view name, bool with_id) {
  for (int known = FirstKnown(with_id); known < kKnownCount; ++known) {
    if (Resembles(name, KnownName(known))) return KnownName(known);
  }
  return {};
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

}  // namespace

NameAndUnit SplitUnit(std::string_view name) {
  name = Trimmed(name);
  if (name.size() >= 2 && (name.back() == ']' || name.back() == ')')) {
    const char open = name.back() == ']' ? '[' : '(';
    const std::size_t at = name.rfind(open);
    if (at != std::string_view::npos && at > 0) {
      return {Trimmed(name.substr(0, at)), Trimmed(name.substr(at + 1, name.size() - at - 2))};
    }
  }
  return {name, {}};
}

bool MapColumns(std::span<const std::string_view> names, const NameWords& words, ColumnMap& map,
                std::string& problem, std::string& notice) {
  const std::string holder(words.holder);
  const std::string name_word(words.name);
  map.index.fill(kAbsent);
  map.id = kAbsent;
  map.fields = names.size();
  problem.clear();
  std::vector<std::string_view> unknown;
  for (std::size_t field = 0; field < names.size(); ++field) {
    int known = FirstKnown(words.with_id);
    const std::string_view name = SplitUnit(names[field]).name;
    while (known < kKnownCount && !SameName(KnownName(known), name)) ++known;
    if (known == kKnownCount) {
      if (!names[field].empty()) unknown.push_back(names[field]);
      continue;
    }
    std::size_t& slot = known == 0 ? map.id : map.index[known - 1];
    if (slot != kAbsent) {
      problem = "the " + holder + " has the " + name_word + " " + std::string(KnownName(known)) +
                " twice (" + std::string(names[slot]) + " and " + std::string(names[field]) + ")";
      return false;
    }
    slot = field;
  }
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (!InfoOf(field).required || map.Has(field)) continue;
    problem += problem.empty() ? "the " + holder + " has no " + name_word + " "
                               : ", no " + name_word + " ";
    problem += FieldName(field);
    for (std::string_view name : unknown) {
      if (Resembles(SplitUnit(name).name, FieldName(field))) {
        problem += " (it has " + std::string(name) + ")";
        break;
      }
    }
  }
  notice.clear();
  for (std::string_view name : unknown) {
    notice += notice.empty()
                  ? "ignoring the " + name_word + std::string(unknown.size() > 1 ? "s " : " ")
                  : ", ";
    notice += name;
    const std::string_view lookalike = Lookalike(SplitUnit(name).name, words.with_id);
    if (!lookalike.empty()) notice += " (did you mean " + std::string(lookalike) + "?)";
  }
  return problem.empty();
}

}  // namespace recharge
