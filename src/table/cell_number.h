// Numbers in table cells: reading a cell as a real, and writing a real for an
// output cell. Cells come trimmed from the CSV reader.
//
// A real is an optional sign, digits with at most one decimal mark and digits
// on at least one side of it, and an optional exponent: e or E, an optional
// sign and at least one digit. Nothing else: no blanks, no thousands
// separators, no "nan", "inf" or hexadecimal forms. The mark is the table's
// own, a point or a comma; the other one in its place is no silent misreading
// but an outcome of its own, so that "1.500" in a table of decimal commas (a
// thousands separator, most likely) is never read as 1.5. The value is the
// correctly rounded double, whatever the locale; one that underflows is zero
// or a denormal.
//   "5." -> 5   ".5" -> 0.5   "-2.5E-1" -> -0.25   "0,5" -> 0.5 (comma mark)
//   "1,5" (point mark), "1.500" (comma mark) -> the other mark
//   "1e", "1 000", "1,2.5" -> not a number
//   "1e309" -> out of range   "1e-400" -> 0
//
// A cell in a unit that is a power of ten of the model's is read with its
// decimal point moved by `shift` places before the one correctly rounded
// conversion, so that "605" in mm (shift -1) is exactly the double of "60.5"
// and "1.1" in m (shift 2) that of "110".
//
// A value is stored only when the outcome is kOk. Reading allocates nothing
// for cells of up to 100 characters.
#pragma once

#include <string>
#include <string_view>

#include "balance/unit_scale.h"

namespace recharge::table {

enum class DecimalMark : char { kPoint = '.', kComma = ',' };

enum class ParseOutcome { kOk, kEmpty, kNotANumber, kOtherMark, kOutOfRange };

ParseOutcome ParseNumber(std::string_view cell, DecimalMark mark, double& value, int shift = 0);

// A cell of the column `name` in the unit of `scale` read as a value in the
// model's unit: the decimal point moved for a power of ten, else the value
// read and multiplied by the factor once; an empty cell is NaN. False with
// `problem` saying why when the cell is no number or the value overflows:
//   "605", mm -> 60.5      zr, "6o" -> zr: "6o" is not a number
bool ReadCell(std::string_view name, std::string_view cell, DecimalMark mark,
              const UnitScale& scale, double& value, std::string& problem);

// A frame's text cell, which no CSV reader has trimmed, read as ReadCell
// reads a table's cell with a decimal point once the blanks and tabs around
// it are dropped:  " 60.5 " -> 60.5   "60,5" -> the other mark
bool ReadTextCell(std::string_view name, std::string_view text, const UnitScale& scale,
                  double& value, std::string& problem);

// Why a cell of the column `name` is no number, for an outcome other than
// kOk and kEmpty, as a row's input error says it:
//   zr, "6o", kNotANumber -> zr: "6o" is not a number
//   zgw, "1.500", kOtherMark, comma mark -> zgw: "1.500": a point in a table
//   with decimal commas
std::string NumberProblem(std::string_view name, std::string_view cell, ParseOutcome outcome,
                          DecimalMark mark);

// The shortest text that reads back as `value`, fixed or scientific, whichever
// is shorter (fixed on a tie), with the given mark; with its decimal point
// then moved by `shift` places, for a unit that is a power of ten of the
// model's, so that the text reads back as `value` with the opposite shift.
//   0.1 -> "0.1"   2.905 -> "2,905" (comma mark)   1e21 -> "1e+21"   -0.0 -> "-0"
//   48.79369975234298, shift 1 -> "487.9369975234298"   0.5, shift -3 -> "0.0005"
void AppendNumber(double value, DecimalMark mark, std::string& out, int shift = 0);

// A result in cm (Wmax, ETa, R) in the results' unit `out`, the very double
// that the table's cell of it reads back as: for a power of ten the shortest
// text of `value` with its point moved, read; else `value` times the factor,
// infinite beyond the range of a double.
//   48.79369975234298, mm -> 487.9369975234298
//   76.3774618976614, mm -> 763.774618976614 (the product by 10 is
//   763.7746189766141)
double ResultIn(double value, const UnitScale& out);

}  // namespace recharge::table
