#include "table/csv_writer.h"

namespace recharge::table {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void AppendField(std::string_view text, char delimiter, std::string& out) {
  const char special[] = {delimiter, '"', '\r', '\n'};
  const bool quoted =
      text.find_first_of(std::string_view(special, sizeof special)) != std::string_view::npos ||
      (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back())));
  if (!quoted) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendRecordEnd(std::string& out) { out += '\n'; }

}  // namespace recharge::table
