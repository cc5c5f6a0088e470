// Fuzzes the output of doubles: 8 bytes are the bit pattern of the value, the
// next two choose w (1 to 40) and d (0 to w), the rest is a CHARACTER item.
// Printed numbers are parsed back and compared with the value rounded to 16
// significant digits, as printf rounds it.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/dialogue_texts.h"
#include "check.h"
#include "console/edit_descriptors.h"
#include "console/formatted_output.h"
#include "console/list_directed_output.h"

namespace {

struct Records : recharge::RecordSink {
  void Record(std::string_view record) override { all.emplace_back(record); }
  std::vector<std::string> all;
};

// The value rounded to 16 significant digits, and the decimal exponent X of
// 0.d1d2... x 10^X (0 for zero).
long double Rounded16(double value, int& exponent) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15e", value);
  const long double rounded = std::strtold(text, nullptr);
  exponent = rounded == 0 ? 0 : std::atoi(std::strchr(text, 'e') + 1) + 1;
  return rounded;
}

using Append = void (*)(double, int, int, std::string&);

// An F or E field: w columns, asterisks only when the value cannot fit, and
// otherwise within half a unit of its last place of the 16-digit value.
void CheckField(Append append, bool exponent_form, double value, int w, int d) {
  std::string field, wide;
  append(value, w, d, field);
  append(value, 400, d, wide);
  CHECK(static_cast<int>(field.size()) == w);
  const std::string shown = wide.substr(wide.find_first_not_of(' '));
  if (!std::isfinite(value) || static_cast<int>(shown.size()) > w) {
    CHECK(field == std::string(w, '*'));
    return;
  }
  CHECK(field == std::string(w - shown.size(), ' ') + shown);
  CHECK(shown.find_first_of(" *") == std::string::npos);
  const std::size_t point = shown.find('.');
  CHECK(point != std::string::npos);
  std::string text = shown;
  if (exponent_form) {
    CHECK(point == (shown[0] == '-' ? 1 : 0));
    const std::size_t letter = shown.find_first_of("E+-", point);
    CHECK(static_cast<int>(letter - point - 1) == d);
    if (shown[letter] != 'E') text.insert(letter, "E");
    if (d == 0) return;  // ".E+01" has no digits to compare
  } else {
    CHECK(static_cast<int>(shown.size() - point - 1) == d);
  }
  char* end = nullptr;
  const long double printed = std::strtold(text.c_str(), &end);
  CHECK(*end == '\0');
  int x = 0;
  const long double rounded = Rounded16(value, x);
  const long double unit = std::pow(10.0L, (exponent_form ? x : 0) - d);
  CHECK(std::fabs(printed - rounded) <=
        unit / 2 * (1 + 1e-12L) + (std::fabs(printed) + std::fabs(rounded)) * 1e-18L);
  CHECK((shown[0] == '-') == (printed != 0 && value < 0));
  if (exponent_form && printed != 0) CHECK(shown[point + 1] != '0');
}

void CheckListDirected(double value, std::int32_t integer, std::string_view text) {
  const std::string real = recharge::ListDirectedReal8(value);
  CHECK(real.size() <= 24);
  if (!std::isfinite(value)) {
    CHECK(real == (std::isnan(value) ? "NaN" : value < 0 ? "-Infinity" : "Infinity"));
  } else {
    int x = 0;
    const long double rounded = Rounded16(value, x);
    char* end = nullptr;
    CHECK(std::strtold(real.c_str(), &end) == rounded && *end == '\0');
    CHECK((real[0] == '-') == std::signbit(value));
    const bool fixed = rounded == 0 || (x >= 1 && x <= 7);
    CHECK((real.find('E') == std::string::npos) == fixed);
  }

  Records label;  // the solver's trace line
  recharge::BuildListRecords(
      {recharge::ListItem::Character(recharge::texts::kBagrovCoefficientLabel),
       recharge::ListItem::Real8(value)},
      label);
  CHECK(label.all.size() == 1 && label.all[0].size() == 1 + 7 + 24);

  Records mixed;
  using recharge::ListItem;
  recharge::BuildListRecords(
      {ListItem::Character(text), ListItem::Real8(value), ListItem::Integer(integer),
       ListItem::Real8(-value), ListItem::Character(text), ListItem::Integer(~integer)},
      mixed);
  std::string joined;
  for (const std::string& record : mixed.all) {
    CHECK(!record.empty() && record.size() <= 79 && record[0] == ' ');
    joined += record.substr(1);
  }
  CHECK(joined.find(text) != std::string::npos && joined.find(real) != std::string::npos);
}

void CheckFormatted(double value, int w, int d) {
  // The program's formats: a record's length never depends on the value.
  namespace t = recharge::texts;
  for (const std::string_view format :
       {t::kCsFormat, t::kStorageFormat, t::kQmaxFormat, t::kAnaerobiosisFormat,
        t::kBagrovCoefficientFormat, t::kResultFormat}) {
    Records with_value, with_one;
    recharge::BuildFormattedRecords(format, {value, value, value}, with_value);
    recharge::BuildFormattedRecords(format, {1.0, 1.0, 1.0}, with_one);
    CHECK(with_value.all.size() == with_one.all.size());
    for (std::size_t i = 0; i < with_one.all.size(); ++i) {
      CHECK(with_value.all[i].size() == with_one.all[i].size());
    }
  }
  // Descriptors with the fuzzed widths.
  const std::string format = "(2X,'a''',F" + std::to_string(w) + '.' + std::to_string(d) + ",/,E" +
                             std::to_string(w) + '.' + std::to_string(d) + ")";
  Records records;
  recharge::BuildFormattedRecords(format, {value, value}, records);
  std::string fixed = "  a'", exponent;
  recharge::AppendFixed(value, w, d, fixed);
  recharge::AppendExponent(value, w, d, exponent);
  CHECK((records.all == std::vector<std::string>{fixed, exponent}));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }  // nothing to set up

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 10) return 0;
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, sizeof bits);
  // A signaling NaN never arises in the program: an invalid operation gives
  // a quiet one.
  if ((bits & 0x7ff0'0000'0000'0000) == 0x7ff0'0000'0000'0000 && (bits << 12) != 0) {
    bits |= 0x0008'0000'0000'0000;
  }
  const double value = std::bit_cast<double>(bits);
  const int w = 1 + data[8] % 40;
  const int d = data[9] % (w + 1);
  const std::string_view text(reinterpret_cast<const char*>(data) + 10,
                              std::min<std::size_t>(size - 10, 200));

  CheckField(recharge::AppendFixed, false, value, w, d);
  CheckField(recharge::AppendExponent, true, value, w, d);
  CheckListDirected(value, static_cast<std::int32_t>(bits >> 32), text);
  CheckFormatted(value, w, d);
  return 0;
}
