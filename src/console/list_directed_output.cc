#include "console/list_directed_output.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "console/decimal_digits.h"

namespace recharge {

namespace {

constexpr int kRecordColumns = 78;  // shown columns, after the carriage control
constexpr int kIntegerWidth = 11;
constexpr int kReal8Width = 24;
constexpr int kReal8Fraction = 15;
constexpr int kLargestFixedExponent = kReal8Width - kReal8Fraction - 2;  // 7

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NaN";
  return value < 0 ? "-Infinity" : "Infinity";
}

// Builds one statement's records, tracking the free columns of the current one.
class RecordBuilder {
 public:
  explicit RecordBuilder(RecordSink& sink) : sink_(sink), record_(Buffer()) {
    record_.assign(1, ' ');
  }

  void Character(std::string_view text) {
    while (static_cast<int>(text.size()) > Free()) {
      const std::size_t fits = static_cast<std::size_t>(Free());
      record_.append(text.substr(0, fits));
      text.remove_prefix(fits);
      Flush();
    }
    record_.append(text);
    after_number_ = false;
  }

  void Number(const std::string& text, int width) {
    int columns = width + (after_number_ ? 1 : 0);
    if (columns > Free()) {
      Flush();
      columns = width;
    }
    record_.append(static_cast<std::size_t>(columns) - text.size(), ' ');
    record_.append(text);
    after_number_ = true;
  }

  void Flush() {
    sink_.Record(record_);
    record_.assign(1, ' ');
    after_number_ = false;
  }

 private:
  int Free() const { return kRecordColumns + 1 - static_cast<int>(record_.size()); }

  // One record buffer per thread, reused: a record costs no allocation.
  static std::string& Buffer() {
    thread_local std::string buffer;
    return buffer;
  }

  RecordSink& sink_;
  std::string& record_;
  bool after_number_ = false;
};

}  // namespace

std::string ListDirectedReal8(double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  DecimalDigits digits = ToDecimalDigits(value);
  std::string text;
  if (digits.negative) text += '-';
  const int x = digits.IsZero() ? 1 : digits.exponent;
  if (x >= 1 && x <= kLargestFixedExponent) {
    for (int i = 0; i < x; ++i) text += digits.DigitAt(i);
    text += '.';
    for (int i = 0; i < kReal8Fraction; ++i) text += digits.DigitAt(x + i);
    return text;
  }
  text += digits.DigitAt(0);
  text += '.';
  for (int i = 1; i <= kReal8Fraction; ++i) text += digits.DigitAt(i);
  const int shown = x - 1;
  const int magnitude = std::abs(shown);
  text += 'E';
  text += shown < 0 ? '-' : '+';
  text += static_cast<char>('0' + magnitude / 100);
  text += static_cast<char>('0' + magnitude / 10 % 10);
  text += static_cast<char>('0' + magnitude % 10);
  return text;
}

void BuildListRecords(std::initializer_list<ListItem> items, RecordSink& sink) {
  RecordBuilder builder(sink);
  for (const ListItem& item : items) {
    switch (item.kind) {
      case ListItem::Kind::kCharacter:
        builder.Character(item.text);
        break;
      case ListItem::Kind::kInteger: {
        char text[16];
        const auto r = std::to_chars(text, text + sizeof text, item.integer);
        builder.Number(std::string(text, r.ptr), kIntegerWidth);
        break;
      }
      case ListItem::Kind::kReal8:
        builder.Number(ListDirectedReal8(item.real), kReal8Width);
        break;
    }
  }
  builder.Flush();
}

}  // namespace recharge
