#!/usr/bin/env python3
"""Writes src/runtime/exp_log_tables.h: the tables and constants of the
correctly rounded exp and pow (src/runtime/correct_exp.cc, correct_pow.cc,
accurate_exp_log.cc).

    python3 tools/make_exp_log_tables.py > src/runtime/exp_log_tables.h

Every value is worked out with Python's decimal module at 500 digits and
rounded once to the nearest double (a pair of doubles: the nearest double and
the nearest double to the rest), so the file is the same wherever it is made.
The script checks the properties the code relies on and stops if one fails.
"""
import decimal
from decimal import Decimal
from fractions import Fraction

decimal.getcontext().prec = 500
LN2 = Decimal(2).ln()

LOG_INDEX_BITS = 8      # the log table is indexed by the mantissa's top 8 bits
LOG_UPPER_START = 106   # from 1 + 106/256 = 1.4140625 on, m is taken as 2 * (m/2)
EXP_INDEX_BITS = 7      # exp(t) = 2^(k/128) exp(s), |s| <= ln 2 / 256
LN2_LIMBS = 42          # ln 2 to 42 * 32 = 1344 bits for the accurate phase


def nearest(value):
    """The double nearest to a Decimal or Fraction, exactly as Fraction."""
    return Fraction(float(Fraction(value)))


def split(value, bits=53):
    """The nearest number of `bits` significant bits, and the nearest double to the rest."""
    value = Fraction(value)
    if value == 0:
        return Fraction(0), Fraction(0)
    exponent = 0
    while abs(value) >= 2 ** (exponent + 1):
        exponent += 1
    while abs(value) < 2 ** exponent:
        exponent -= 1
    unit = Fraction(2) ** (exponent - bits + 1)
    hi = round(value / unit) * unit
    return hi, nearest(value - hi)


def split_at(value, bits):
    """The nearest multiple of 2^-bits, and the nearest double to the rest."""
    value = Fraction(value)
    hi = Fraction(round(value * 2 ** bits), 2 ** bits)
    return hi, nearest(value - hi)


def significant_bits(value):
    value = Fraction(value)
    numerator, denominator = value.numerator, value.denominator
    assert denominator & (denominator - 1) == 0
    while numerator % 2 == 0 and numerator:
        numerator //= 2
    return abs(numerator).bit_length()


def dec(value):
    value = Fraction(value)
    return Decimal(value.numerator) / Decimal(value.denominator)


def hexf(value):
    return float(value).hex()


def log_table():
    """(r, -log(r) as a pair) for each of the 256 intervals of m in [1, 2).

    Below LOG_UPPER_START, r is 1/m rounded to 9 significant bits (r = 1 for
    the first interval); from it on, r is 1/m for m/2 in [0.707, 1): 2/m to 9
    bits, halved, and the value kept is -log(2r), with the exponent one up.
    Either way z = m r - 1 (or (m/2)(2r) - 1) is a multiple of 2^-61 below
    2^-8 in magnitude: a double, computed exactly."""
    rows, largest = [], Fraction(0)
    for i in range(1 << LOG_INDEX_BITS):
        low = 1 + Fraction(i, 256)
        high = 1 + Fraction(i + 1, 256) - Fraction(1, 2 ** 52)  # the last double below
        upper = i >= LOG_UPPER_START
        centre = (2 * low + Fraction(1, 256)) / 2 / (2 if upper else 1)
        if i == 0 or i == 255:
            r = Fraction(1)
        else:
            r, _ = split(1 / centre, 9)
        assert significant_bits(r) <= 9
        for m in (low, high):
            mm = m / 2 if upper else m
            largest = max(largest, abs(mm * r - 1))
        multiplier = r / 2 if upper else r
        # -log r to a multiple of 2^-42, as e kLn2Hi is: their sum is exact.
        t_hi, t_lo = split_at(-dec(r).ln(), 42)
        rows.append((multiplier, 1 if upper else 0, t_hi, t_lo))
    assert largest < Fraction(1, 256), float(largest)
    return rows, largest


def exp_table():
    rows = []
    for j in range(1 << EXP_INDEX_BITS):
        hi, lo = split((LN2 * j / 128).exp())
        rows.append((hi, lo))
    return rows


def main():
    log_rows, largest_z = log_table()
    ln2_hi, ln2_lo = split(LN2, 42)
    step = LN2 / 128
    step_hi, rest = split(step, 35)
    step_mid, step_lo = split(rest, 35)
    assert significant_bits(ln2_hi) <= 42 and significant_bits(step_hi) <= 35
    assert significant_bits(step_mid) <= 35
    limbs = int(LN2 * (Decimal(2) ** (32 * LN2_LIMBS)))  # truncated
    words = [(limbs >> (32 * (LN2_LIMBS - 1 - n))) & 0xFFFFFFFF for n in range(LN2_LIMBS)]

    constants = {
        'kLn2Hi': ln2_hi, 'kLn2Lo': ln2_lo,
        'kStepHi': step_hi, 'kStepMid': step_mid, 'kStepLo': step_lo,
        'kInverseStep': nearest(1 / step),
    }
    out = [
        '// Made by tools/make_exp_log_tables.py; do not edit.',
        '//',
        '// The tables and constants of the correctly rounded exp and pow:',
        '//   kLogTable[i]  for a mantissa m in [1 + i/256, 1 + (i+1)/256): the',
        '//                 multiplier r with z = m r - 1 exact, |z| < 2^-8, and',
        '//                 -log(r), or -log(2r) from i = 106 on (where m is 2 m/2',
        '//                 and the exponent counts one more: exponent_shift 1),',
        '//                 as hi + lo, hi a multiple of 2^-42 (as n kLn2Hi is:',
        '//                 their sum is exact);',
        '//   kExpTable[j]  2^(j/128) as hi + lo;',
        '//   kLn2Hi + kLn2Lo  log 2, kLn2Hi of 42 bits (n kLn2Hi exact for',
        '//                 |n| < 2^11); kStepHi + kStepMid + kStepLo  log(2)/128,',
        '//                 the first two of 35 bits (k times them exact for',
        '//                 |k| < 2^18); kInverseStep  128/log 2;',
        '//   kLn2Limbs     log 2 to 1344 bits, 32 bits a limb, the first limb',
        '//                 the most significant (truncated).',
        f'// Over the log table |z| <= {float(largest_z):.17g}.',
        '#pragma once',
        '',
        '#include <cstdint>',
        '',
        'namespace recharge::exp_log {',
        '',
        'struct LogEntry {',
        '  double r, exponent_shift, minus_log_hi, minus_log_lo;',
        '};',
        'struct ExpEntry {',
        '  double hi, lo;',
        '};',
        '',
        f'inline constexpr int kLogIndexBits = {LOG_INDEX_BITS};',
        f'inline constexpr int kLogUpperStart = {LOG_UPPER_START};',
        f'inline constexpr int kExpIndexBits = {EXP_INDEX_BITS};',
        f'inline constexpr int kLn2LimbCount = {LN2_LIMBS};',
    ]
    for name, value in constants.items():
        out.append(f'inline constexpr double {name} = {hexf(value)};')
    out.append('')
    out.append(f'inline constexpr LogEntry kLogTable[{1 << LOG_INDEX_BITS}] = {{')
    for r, shift, t_hi, t_lo in log_rows:
        out.append(f'    {{{hexf(r)}, {shift}.0, {hexf(t_hi)}, {hexf(t_lo)}}},')
    out.append('};')
    out.append('')
    out.append(f'inline constexpr ExpEntry kExpTable[{1 << EXP_INDEX_BITS}] = {{')
    for hi, lo in exp_table():
        out.append(f'    {{{hexf(hi)}, {hexf(lo)}}},')
    out.append('};')
    out.append('')
    out.append('inline constexpr std::uint32_t kLn2Limbs[kLn2LimbCount] = {')
    for n in range(0, LN2_LIMBS, 6):
        out.append('    ' + ' '.join(f'0x{w:08x},' for w in words[n:n + 6]).rstrip())
    out.append('};')
    out.append('')
    out.append('}  // namespace recharge::exp_log')
    print('\n'.join(out))


if __name__ == '__main__':
    main()
