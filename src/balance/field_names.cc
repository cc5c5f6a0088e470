#include "balance/field_names.h"

#include <algorithm>

namespace recharge {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool Resembles(std::string_view name, std::string_view known) {
  if (known.size() < 2) return false;
  if (name.size() < known.size()) std::swap(name, known);
  if (name.size() - known.size() > 1) return false;
  std::size_t i = 0;
  while (i < known.size() && Lower(name[i]) == Lower(known[i])) ++i;
  if (i == known.size()) return true;
  const std::size_t skip = name.size() == known.size() ? 1 : 0;  // changed, or added
  return SameName(name.substr(i + 1), known.substr(i + skip));
}

}  // namespace recharge
