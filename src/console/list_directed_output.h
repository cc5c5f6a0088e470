// List-directed output: how CHARACTER, INTEGER and REAL*8 items become
// records.
//
// A record starts with one blank (its carriage control, never shown) and
// shows at most 78 columns. A CHARACTER item is copied as it stands, with no
// separator of its own. An INTEGER fills 11 columns and a REAL*8 24, right-
// justified; a number that follows another number in the same record gets one
// more blank in front. A number that does not fit starts a new record; a
// CHARACTER item is split across records instead.
//
//   {" Month ", 4}        -> record "  Month           4"
//   {"  bc= :", 2.5}      -> record "   bc= :       2.500000000000000"
//   {"  bc= :", 0.5}      -> record "   bc= :  5.000000000000000E-001"
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "console/record_sink.h"

namespace recharge {

struct ListItem {
  enum class Kind { kCharacter, kInteger, kReal8 };

  static ListItem Character(std::string_view text) { return {Kind::kCharacter, text, 0, 0.0}; }
  static ListItem Integer(std::int32_t value) { return {Kind::kInteger, {}, value, 0.0}; }
  static ListItem Real8(double value) { return {Kind::kReal8, {}, 0, value}; }

  Kind kind;
  std::string_view text;
  std::int32_t integer;
  double real;
};

// The REAL*8 value without its field padding: fixed form with 15 fraction
// digits when 1 <= |value| < 10^7, otherwise one digit, 15 fraction digits and
// a three-digit exponent. Sixteen significant digits at most; zero prints as
// "0.000000000000000".
//   2.5 -> "2.500000000000000"   12345678.9 -> "1.234567890000000E+007"
std::string ListDirectedReal8(double value);

void BuildListRecords(std::initializer_list<ListItem> items, RecordSink& sink);

}  // namespace recharge
