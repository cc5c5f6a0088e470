#!/usr/bin/env python3
"""Recomputes the exact expected values of the model tests.

The formulas are evaluated here on their own, in double precision, in the
order in which they are written, with pow and exp correctly rounded (MPFR,
through gmpy2) as the program's are and with math.sqrt, so the results agree
with the program to the last bit. Constants that the program keeps in single
precision go through f32().

Prints every value a test expects, with the figure the test file gives, and
the records of tests/app/soil_classes.txt and the tables of tests/table/tables
(--write-tables writes those anew). Exits with 1 if anything differs.
Usage: python3 tests/reference/model_reference.py [--write-tables]
"""
import csv
import io
import math
import os
import re
import struct
import sys

try:
    import gmpy2
except ImportError:
    sys.exit('model_reference.py needs gmpy2: install the package python3-gmpy2')


def f32(x):
    """The single-precision number nearest to x, widened to double."""
    return struct.unpack('f', struct.pack('f', x))[0]


# --- Faults ----------------------------------------------------------------
# The program finds invalid operations, divisions by zero and overflows, and
# the failures of pow, exp and sqrt, by the values they give
# (src/runtime/checked_arithmetic.h). Inputs are finite and the checked forms
# below raise at once, so a value that is not finite can only come from an
# addition, subtraction or product that overflowed.

class Fault(Exception):
    """A fault, with the report the program gives for it."""


def fin(x):
    if not math.isfinite(x):
        raise Fault('M6104 floating-point error: overflow')
    return x


def div(a, b):
    if b == 0.0:
        raise Fault('M6101 floating-point error: invalid' if fin(a) == 0.0 else
                    'M6103 floating-point error: divide by zero')
    return fin(fin(a) / fin(b))


# pow and exp correctly rounded: MPFR with a double's 53 bits, exponent range
# and subnormals, rounding to nearest, ties to even.
DOUBLE = gmpy2.ieee(64)


def correctly_rounded(f):
    """f of MPFR as a double, failing as the math module's functions do: NaN
    raises ValueError, an infinity from finite arguments OverflowError."""
    def rounded(*args):
        r = float(f(*args))
        if math.isnan(r):
            raise ValueError
        if math.isinf(r):
            raise OverflowError
        return r
    return rounded


correct_pow, correct_exp = correctly_rounded(DOUBLE.pow), correctly_rounded(DOUBLE.exp)


def checked(name, f, *args):
    if name == 'pow' and args[0] == 0.0 and args[1] < 0.0:
        raise Fault('M6202 pow: SING error')
    try:
        return f(*map(fin, args))
    except ValueError:
        raise Fault('M6201 %s: DOMAIN error' % name) from None
    except OverflowError:
        raise Fault('M6203 %s: OVERFLOW error' % name) from None


def pow_(x, y):
    return checked('pow', correct_pow, x, y)


# Soil classes: code, theta_r, theta_s, alpha (1/cm), n, p1, p2.
CLASSES = [
    ('Ss', 0, .3879, .26437, 1.35154, 1524.4, -2.4467),
    ('Sl2', 0, .3949, .11647, 1.25425, 1834.4, -2.3827),
    ('Sl3', .0519, .3952, .07097, 1.35096, 5874.7, -2.5284),
    ('Sl4', 0, .4101, .10486, 1.18427, 518.32, -1.7925),
    ('Slu', 0, .4138, .08165, 1.17695, 565.73, -1.7205),
    ('St2', 0, .4049, .48458, 1.18828, 397.07, -1.4971),
    ('St3', 0, .4214, .18023, 1.1323, 226.51, -1.8035),
    ('Su2', 0, .3786, .20387, 1.23473, 583.04, -1.759),
    ('Su3', 0, .3765, .08862, 1.21398, 850.42, -1.7423),
    ('Su4', 0, .3839, .06005, 1.22228, 1299.2, -1.7361),
    ('Ls2', .1406, .4148, .04052, 1.32416, 1485.6, -1.5862),
    ('Ls3', .07284, .4091, .06835, 1.20501, 973.94, -1.7943),
    ('Ls4', .0463, .4129, .09955, 1.18213, 720.12, -1.7661),
    ('Lt2', .1492, .438, .07013, 1.24572, 761.5, -1.7619),
    ('Lt3', .1629, .453, .04947, 1.17003, 388.61, -1.6707),
    ('Lts', .1154, .4325, .03401, 1.19442, 2234, -2.145),
    ('Lu', .0534, .4284, .04321, 1.16518, 1166.4, -1.8089),
    ('Uu', 0, .403, .0142, 1.21344, 9690, -2.0996),
    ('Uls', 0, .4003, .02513, 1.19338, 2765.9, -1.9182),
    ('Us', 0, .3946, .02747, 1.22393, 1947.7, -1.8381),
    ('Ut2', .0101, .4001, .01868, 1.22068, 3835.4, -1.9891),
    ('Ut3', .0053, .4031, .01679, 1.20668, 3712.2, -1.9858),
    ('Ut4', .0276, .4162, .01697, 1.20483, 3078, -2.0077),
    ('Tt', 0, .5238, .06612, 1.05215, 62.126, -1.8051),
    ('Tl', 0, .4931, .07339, 1.06254, 99.199, -1.8691),
    ('Tu2', 0, .49017, .07242, 1.06062, 98.138, -1.8643),
    ('Tu3', 0, .4589, .055, 1.08166, 225.82, -1.914),
    ('Tu4', .017, .4372, .04538, 1.12109, 624.55, -2.0077),
    ('Ts2', 0, .4836, .08402, 1.07669, 222.92, -1.9629),
    ('Ts3', .07841, .4374, .06194, 1.14565, 857.34, -2.1027),
    ('Ts4', 0, .4355, .20919, 1.11419, 207.02, -1.5199),
    ('fS', 0, .4095, .15041, 1.33576, 3019.7, -2.4811),
    ('mS', 0, .3886, .26188, 1.3533, 1565.3, -2.4537),
    ('gS', 0, .37676, .22065, 1.46574, 16850, -3.4299),
]


def soil_class(number):
    """(code, (theta_r, theta_s, alpha, n, p1, p2)) in single precision."""
    row = CLASSES[number - 1]
    return row[0], tuple(f32(v) for v in row[1:])


# --- Soil water ------------------------------------------------------------

def water_content(theta_r, theta_s, alpha, n, h):
    """theta_r + (theta_s - theta_r) / (1 + (alpha h)^n)^(1 - 1/n)."""
    return div(theta_s - theta_r, pow_(1.0 + pow_(alpha * h, n), 1.0 - div(1.0, n))) + theta_r


def storage(soil, zr):
    """FC at 63 cm, WP at 15800 cm, Wmax = (FC - WP) zr."""
    theta_r, theta_s, alpha, n = soil[:4]
    fc = water_content(theta_r, theta_s, alpha, n, 63.0)
    wp = water_content(theta_r, theta_s, alpha, n, 15800.0)
    return fc, wp, (fc - wp) * zr


def qmax(soil, zr, zgw):
    """p1 (zgw - zr)^p2, at most 1 cm/d; 1 cm/d when zr + 1 >= zgw."""
    if zr + 1.0 >= zgw:
        return 1.0
    return min(1.0, soil[4] * pow_(zgw - zr, soil[5]))


def anaerobiosis_head(soil):
    """Se at theta_s - 0.05 and h_an = (1/alpha) (Se^(-1/m) - 1)^(1/n)."""
    theta_r, theta_s, alpha, n = soil[:4]
    m = 1.0 - div(1.0, n)
    se = div((theta_s - f32(0.05)) - theta_r, theta_s - theta_r)
    return se, pow_(pow_(se, -div(1.0, m)) - 1.0, div(1.0, n)) * div(1.0, alpha)


# --- Water balance ---------------------------------------------------------

def bagrov_coefficient(qm, wmax, cs):
    """1.791 exp(2.5884 qmax) + 0.18002 Wmax^1.0879 + Cs."""
    return (f32(1.791) * checked('exp', correct_exp, f32(2.5884) * qm)
            + f32(0.18002) * pow_(wmax, f32(1.0879))) + cs


def correct_for_anaerobiosis(nb, qm, h_an, fc, factor_last=True):
    """nB - (qmax^0.5354 (h_an + 0.27405)) 0.05794 - 11.832 FC.

    factor_last=False gives qmax^0.5354 (0.05794 (h_an + 0.27405)), the order
    the test rules out."""
    a, b, c = pow_(qm, f32(0.5354)), h_an + f32(0.27405), f32(0.05794)
    nb = nb - ((a * b) * c if factor_last else a * (b * c))
    return nb - f32(11.832) * fc


def limit_bagrov_coefficient(nb):
    nb = nb if nb < 10.0 else 10.0
    return 0.5 if nb <= 0.5 else nb


def integrand(e, etp, nb):
    """1 / (1 - r^nB), r = E/ETp at most 0.9999."""
    r = e / etp
    return 1.0 / (1.0 - pow_(r if 0.9999 > r else 0.9999, nb))


def integral(etp, e, nb):
    """Simpson, 200 intervals; grid by repeated addition, last ordinate at E."""
    h = e / 200.0
    x, s = 0.0, integrand(0.0, etp, nb)
    for _ in range(100):
        x = x + h
        s = 4.0 * integrand(x, etp, nb) + s
        x = x + h
        fx = integrand(x, etp, nb)
        s = (s + fx) + fx
    return ((s - integrand(e, etp, nb)) * h) * f32(1.0 / 3.0)


def initial_ratio(nb, p, etp, clamp=True):
    b = checked('sqrt', math.sqrt, div(p, etp))
    r = (f32(0.6198) * b + f32(0.0495) * nb) - f32(0.00406)
    return max(0.3, min(0.99, r)) if clamp else r


def solve_bagrov(nb, p, etp, clamp=True):
    """(ETa or None, tests made, guess ratio, last estimate, |PI - P| of each test)."""
    r0 = initial_ratio(nb, p, etp, clamp)
    e, k, misses = r0 * etp, 0, []
    if nb >= 9.5 or not fin(2.0 * etp) > p:
        e_new = f32(0.998) * etp
    else:
        pi = integral(etp, e, nb)
        while True:
            k += 1
            e_new = e - ((pi - p) / integrand(e, etp, nb)) * 0.5
            misses.append(abs(pi - p))
            if not misses[-1] >= f32(0.0001):
                break
            if k == 501:
                return None, k, r0, e_new, misses
            e = e_new
            pi = integral(etp, e, nb)
    return min(p, min(etp, e_new)), k, r0, e_new, misses


def hydropedotransfer(qm, wmax, etp, ps, etps):
    """g = 0.70125 qmax^0.90303 + 0.016856 Ps + 0.0099135 Wmax + 0.05358."""
    g = ((f32(0.70125) * pow_(qm, f32(0.90303)) + f32(0.016856) * ps)
         + f32(0.0099135) * wmax) + f32(0.05358)
    return g, min(etp, etp - (1.0 - g) * etps)


def uses_bagrov(p, etp, qm):
    return fin(p * f32(1.15)) >= etp or qm <= f32(0.01)


# --- Printed figures: 16 correctly rounded digits, then half-up -------------

def digits16(v):
    text = '%.15e' % v
    negative = text[0] == '-'
    mantissa, exponent = text.lstrip('-').split('e')
    digits = mantissa.replace('.', '')
    return negative, list(digits), 0 if v == 0 else int(exponent) + 1


def round_half_up(digits, exponent, keep):
    if keep >= 16:
        return digits, exponent
    if keep < 0:
        return ['0'] * 16, exponent
    up = digits[keep] >= '5'
    digits = digits[:keep] + ['0'] * (16 - keep)
    i = keep - 1
    while up and i >= 0 and digits[i] == '9':
        digits[i] = '0'
        i -= 1
    if up and i >= 0:
        digits[i] = chr(ord(digits[i]) + 1)
    elif up:
        digits[0], exponent = '1', exponent + 1
    return digits, exponent


def fixed(v, w, d):
    negative, digits, x = digits16(v)
    digits, x = round_half_up(digits, x, x + d)
    at = lambda i: digits[i] if 0 <= i < 16 else '0'
    field = '-' if negative and set(digits) != {'0'} else ''
    field += ''.join(at(i) for i in range(x)) + ('0' if x <= 0 and d == 0 else '')
    field += '.' + ''.join(at(x + i) for i in range(d))
    return field.rjust(w) if len(field) <= w else '*' * w


def exponent_form(v, w, d):
    negative, digits, x = digits16(v)
    digits, x = round_half_up(digits, x, d)
    zero = set(digits) == {'0'}
    x = 0 if zero else x
    field = ('-' if negative and not zero else '') + '.' + ''.join(digits[:d])
    field += ('E' if abs(x) < 100 else '') + ('-' if x < 0 else '+')
    field += (str(abs(x) // 100) if abs(x) >= 100 else '') + '%02d' % (abs(x) % 100)
    return field.rjust(w) if len(field) <= w else '*' * w


# --- tests/table/tables: the tables of recharge-table (src/table/table_row.h) --

OUTPUT = ['Cs', 'FC', 'WP', 'Wmax', 'qmax', 'method', 'nB', 'h_an', 'g', 'ETa', 'R']
MONTHS = [c for month in range(4, 10) for c in ('rain%d' % month, 'etp%d' % month)]


class InputError(Exception):
    pass


def quoted(cell):
    return '"%s"' % cell if len(cell) <= 40 else '"%s..." (%d bytes)' % (cell[:40], len(cell))


def read_number(cells, name, comma):
    """A real: sign, digits with at most one mark, exponent (cell_number.h);
    None for an empty cell. The other mark than the table's is an error."""
    cell = cells.get(name, '')
    if not cell:
        return None
    if not re.fullmatch(r'[+-]?(\d+([.,]\d*)?|[.,]\d+)([eE][+-]?\d+)?', cell):
        raise InputError('%s: %s is not a number' % (name, quoted(cell)))
    if ('.' if comma else ',') in cell:
        raise InputError('%s: %s: %s' % (name, quoted(cell), 'a point in a table with decimal commas'
                                         if comma else 'a comma in a table with decimal points'))
    if math.isinf(float(cell.replace(',', '.'))):
        raise InputError('%s: %s is beyond the range of a double' % (name, quoted(cell)))
    return float(cell.replace(',', '.'))


def required(cells, name, comma, missing='%s: no value'):
    value = read_number(cells, name, comma)
    if value is None:
        raise InputError(missing % name)
    return value


def read_row(cells, comma):
    """The inputs of a row, in the order soil_case.h reads them: the required
    values, Cs or the months, the own parameters of class 0, anaerobiosis."""
    row = {name: required(cells, name, comma) for name in ('P', 'ETp', 'Ps', 'ETps', 'zr', 'zgw')}
    number = required(cells, 'class', comma)
    row['Cs'] = read_number(cells, 'Cs', comma)
    if row['Cs'] is None:
        row['months'] = []
        for name in MONTHS:
            row['months'].append(read_number(cells, name, comma))
            if row['months'][-1] is None:
                raise InputError('no Cs and no complete monthly data')
    if not 0 <= number <= 34 or number != int(number):
        raise InputError('class: %s is not a soil class (0 to 34)' % to_chars(number, False))
    own = ('theta_r', 'theta_s', 'alpha', 'n', 'p1', 'p2')
    row['soil'] = (soil_class(int(number))[1] if number else
                   tuple(required(cells, name, comma, 'class 0 needs %s') for name in own))
    answer = read_number(cells, 'anaerobiosis', comma)
    if answer not in (None, 0.0, 1.0):
        raise InputError('anaerobiosis: %s is not 0 or 1' % to_chars(answer, False))
    row['anaerobiosis'] = answer == 1.0
    return row


def simultaneity(months):
    """Cs = sum of max(ETp - rain, 0) / sum of ETp (simultaneity.h)."""
    sum_etp, deficit = 0.0, 0.0
    for rain, etp in zip(months[0::2], months[1::2]):
        sum_etp, d = fin(etp + sum_etp), fin(etp - rain)
        deficit = fin((d if d > 0.0 else 0.0) + deficit)
    return div(deficit, sum_etp)


def table_row(row, out):
    """Runs the steps of soil_balance.h, filling `out` as each one finishes."""
    p, etp, zr, zgw, soil = row['P'], row['ETp'], row['zr'], row['zgw'], row['soil']
    out['Cs'] = cs = simultaneity(row['months']) if 'months' in row else row['Cs']
    fin(1.0 - div(1.0, soil[3]))  # m
    out['FC'], out['WP'], out['Wmax'] = fc, wp, wmax = tuple(map(fin, storage(soil, zr)))
    out['qmax'] = qm = fin(qmax(soil, zr, zgw))
    bagrov = uses_bagrov(p, etp, qm)
    out['method'] = 'bagrov' if bagrov else 'hydropedotransfer'
    if bagrov:
        nb = fin(bagrov_coefficient(qm, wmax, cs))
        if row['anaerobiosis']:
            out['h_an'] = h_an = fin(anaerobiosis_head(soil)[1])
            nb = fin(correct_for_anaerobiosis(nb, qm, h_an, fc))
        out['nB'] = nb = limit_bagrov_coefficient(nb)
        eta, _, _, last, _ = solve_bagrov(nb, p, etp)
        if eta is None:
            # The program takes the integral and integrand at the last estimate first.
            integral(etp, last, nb)
            integrand(last, etp, nb)
            return 'no convergence'
    else:
        out['g'], eta = tuple(map(fin, hydropedotransfer(qm, wmax, etp, row['Ps'], row['ETps'])))
    out['ETa'], out['R'] = fin(eta), fin(p - eta)
    return 'ok'


def to_chars(v, comma):
    """std::to_chars(double): the shortest digits that read back as v, fixed or
    scientific, whichever is shorter (fixed on a tie)."""
    if v == 0.0:
        return '-0' if math.copysign(1.0, v) < 0 else '0'
    mantissa, _, exponent = repr(abs(v)).partition('e')
    whole, _, fraction = mantissa.partition('.')
    digits = (whole + fraction).lstrip('0')
    x = len(whole) + int(exponent or 0) - (len(whole + fraction) - len(digits))
    digits = digits.rstrip('0')  # v = 0.digits 10^x
    if x >= len(digits):
        fixed = str(int(abs(v)))  # every digit exact: the nearest representation
    else:
        fixed = digits[:x] + '.' + digits[x:] if x > 0 else '0.' + '0' * -x + digits
    scientific = (digits[0] + ('.' + digits[1:] if digits[1:] else '')
                  + 'e%s%02d' % ('-' if x < 1 else '+', abs(x - 1)))
    text = ('-' if v < 0 else '') + (fixed if len(fixed) <= len(scientific) else scientific)
    return text.replace('.', ',') if comma else text


# The examples of src/table/cell_number.h, and the forms around the switch.
TO_CHARS_EXAMPLES = [(0.1, '0.1'), (2.905, '2,905'), (1e21, '1e+21'), (-0.0, '-0'),
                     (1e-05, '1e-05'), (0.0001, '1e-04'), (0.001, '0.001'), (1e6, '1e+06'),
                     (-5e-324, '-5e-324')]


def field(text, delimiter):
    """A CSV field as csv_writer.h writes it."""
    if any(c in text for c in delimiter + '"\r\n') or text[:1] in (' ', '\t') \
            or text[-1:] in (' ', '\t'):
        return '"' + text.replace('"', '""') + '"'
    return text


def table(text, delimiter):
    """The output of recharge-table for an input table."""
    comma = delimiter != ','
    reader = csv.reader(io.StringIO(text, newline=''), delimiter=delimiter)
    header, lines = next(reader), [delimiter.join(['id'] + OUTPUT + ['status'])]
    line = reader.line_num + 1  # where the next record starts
    for fields in reader:
        first, line = line, reader.line_num + 1
        if not any(f.strip() for f in fields):
            continue  # a blank line, or a row of empty cells: no row
        while len(fields) > len(header) and not fields[-1].strip():
            fields.pop()  # empty fields beyond the header's
        cells, out = dict(zip(header, fields)), {}
        try:
            if len(fields) != len(header):
                raise InputError('%d fields where the header has %d' % (len(fields), len(header)))
            status = table_row(read_row(cells, comma), out)
        except InputError as error:
            out, status = {}, 'input error: line %d: %s' % (first, error)
        except Fault as fault:
            status = str(fault)
        lines.append(delimiter.join(
            [field(cells.get('id', ''), delimiter)]
            + [to_chars(v, comma) if isinstance(v, float) else v
               for v in (out.get(name, '') for name in OUTPUT)] + [field(status, delimiter)]))
    return '\n'.join(lines) + '\n'


# --- Report ----------------------------------------------------------------

failures = []


def show(label, value, cited=None):
    mark = ''
    if cited is not None:
        mark = 'ok' if value == cited else 'DIFFERS, test has %r' % (cited,)
        if value != cited:
            failures.append(label)
    print('  %-44s %-22r %s' % (label, value, mark))


def unit_tests():
    _, ss = soil_class(1)
    _, tt = soil_class(24)
    _, lt2 = soil_class(14)
    print('tests/soil/water_retention_test.cc')
    show('Ss theta(63)', water_content(*ss[:4], 63.0), 0.1434827632742888)
    show('Ss theta(15800)', water_content(*ss[:4], 15800.0), 0.020693696058879982)
    show('class 14 theta(63)', water_content(*lt2[:4], 63.0), 0.3439811462036938)

    print('tests/soil/soil_water_quantities_test.cc (Ss, zr 60, zgw 200)')
    fc, wp, wmax = storage(ss, 60.0)
    qm = qmax(ss, 60.0, 200.0)
    se, h_an = anaerobiosis_head(ss)
    show('FC', fc, 0.1434827632742888)
    show('WP', wp, 0.020693696058879982)
    show('Wmax', wmax, 7.367344032924529)
    show('qmax', qm, 0.008553961197027261)
    show('Se', se, 0.8711007955430046)
    show('h_an', h_an, 2.9047897020417253)
    show('Tt qmax, zr 60, zgw 100', qmax(tt, 60.0, 100.0), 0.07968837220912264)

    print('tests/balance/bagrov_coefficient_test.cc (Ss, Cs 0.3)')
    nb = bagrov_coefficient(qm, wmax, 0.3)
    show('nB', nb, 3.7118658444938797)
    print('  %-44s %s' % ('nB printed F6.3', fixed(nb, 6, 3)))
    nb_an = correct_for_anaerobiosis(nb, qm, h_an, fc)
    show('nB with anaerobiosis', nb_an, 1.999785543664316)
    print('  %-44s %s' % ('nB with anaerobiosis printed F6.3', fixed(nb_an, 6, 3)))
    show('nB 0, qmax .5, h_an 10, FC 0', correct_for_anaerobiosis(0.0, 0.5, 10.0, 0.0),
         -0.41072269885029916)
    show('  the same, qmax^0.5354 (0.05794 (...))',
         correct_for_anaerobiosis(0.0, 0.5, 10.0, 0.0, False), -0.4107226988502991)

    print('tests/balance/hydropedotransfer_test.cc (zr 60, ETp 60, Ps 25, ETps 45)')
    for name, soil, zgw, cited_g, cited_eta in (
            ('Tt, zgw 100', tt, 100.0, 0.6159317650899049, 42.71692942904572),
            ('class 14, zgw 150', lt2, 150.0, 0.7783368504850385, 50.02515827182673)):
        g, eta = hydropedotransfer(qmax(soil, 60.0, zgw), storage(soil, 60.0)[2], 60.0, 25.0, 45.0)
        show(name + ' g', g, cited_g)
        show(name + ' ETa', eta, cited_eta)
    show('qmax 1, Wmax 0, ETp 10, Ps 0, ETps 100: ETa',
         hydropedotransfer(1.0, 0.0, 10.0, 0.0, 100.0)[1], -14.51699823141098)

    print('tests/balance/bagrov_solver_test.cc (nB, P, ETp)')
    for nb, p, etp, eta, steps in (
            (2.0, 60.0, 50.0, 41.68272112277898, 18),
            (0.5, 5.0, 60.0, 4.105858374555856, 20),
            (5.0, 95.0, 50.0, 49.90403635900869, 13),
            (9.0, 1.0, 100.0, 1.0, 20),
            (9.0, 62.22047285625631, 50.0, 49.49999352361006, 2),
            (9.4, 1.99e-4, 1e-4, 1e-4, 1),
            (9.5, 60.0, 50.0, 49.90000128746033, 0),
            (2.0, 100.0, 50.0, 49.90000128746033, 0),
            (1.0, 120.0, 50.0, 49.90000128746033, 0),
            (9.5, 40.0, 50.0, 40.0, 0),
            (math.nextafter(9.5, 0.0), 60.0, 50.0, None, 15),
            (2.0, math.nextafter(100.0, 0.0), 50.0, None, 18),
            (9.131188890018583, 192.59656612613557, 103.50440128744553, None, 501),
            (2.0, 1e14, 6e13, None, 501)):
        result, k, r0, last, misses = solve_bagrov(nb, p, etp)
        case = '%r %r %r' % (nb, p, etp)
        if eta is not None or steps == 501:
            show(case + ' ETa', result, eta)
        show(case + ' tests', k, steps)
        if k not in (0, 501):
            print('  %-44s guess %.4g, |PI - P| first %.9e, last %.9e, last estimate %r'
                  % ('', r0, misses[0], misses[-1], last))
    for nb, p, etp, eta, steps in ((0.5, 5.0, 60.0, 4.105856783046075, 19),
                                   (5.0, 95.0, 50.0, None, 21)):
        result, k, r0, _, _ = solve_bagrov(nb, p, etp, clamp=False)
        case = '%r %r %r, guess %.4g unclamped' % (nb, p, etp, r0)
        show(case + ' ETa', result, eta)
        show(case + ' tests', k, steps)


def soil_classes():
    """The records of tests/app/soil_classes.txt, in its layout."""
    p, etp, ps, etps, cs, zr = 45.0, 60.0, 25.0, 45.0, 0.2, 60.0
    lines = []
    for number in range(1, 35):
        code, soil = soil_class(number)
        zgw = 150.0 if number % 2 else 400.0
        fc, wp, wmax = storage(soil, zr)
        qm = qmax(soil, zr, zgw)
        if uses_bagrov(p, etp, qm):
            nb = limit_bagrov_coefficient(bagrov_coefficient(qm, wmax, cs))
            eta = solve_bagrov(nb, p, etp)[0]
            method = 'B ' + fixed(nb, 6, 3)
        else:
            eta = hydropedotransfer(qm, wmax, etp, ps, etps)[1]
            method = 'H ' + '-'.rjust(6)
        lines.append('%-4d%-6s%d %d ' % (number, code, zr, zgw) + fixed(fc, 6, 3)
                     + fixed(wp, 7, 4) + fixed(wmax, 6, 1) + ' ' + exponent_form(qm, 8, 3)
                     + '  ' + method + ' ' + fixed(eta, 7, 2) + fixed(p - eta, 7, 2))
    return lines


# The examples of src/console/edit_descriptors.h.
FORMAT_EXAMPLES = [(fixed, .35, 6, 3, '  .350'), (fixed, -.0004, 6, 3, '  .000'),
                   (fixed, -.0006, 6, 3, ' -.001'), (fixed, 1234.5, 6, 3, '******'),
                   (fixed, 2.675, 5, 2, ' 2.68'), (exponent_form, 1.0, 8, 3, '.100E+01'),
                   (exponent_form, .008554, 8, 3, '.855E-02'),
                   (exponent_form, 0.0, 8, 3, '.000E+00'),
                   (exponent_form, -1.0, 8, 3, '********'),
                   (exponent_form, 1e150, 8, 3, '.100+151')]


def main():
    for form, v, w, d, text in FORMAT_EXAMPLES:
        if form(v, w, d) != text:
            failures.append('%s(%r, %d, %d) is %r' % (form.__name__, v, w, d, form(v, w, d)))
    for v, text in TO_CHARS_EXAMPLES:
        if to_chars(v, ',' in text) != text:
            failures.append('to_chars(%r) is %r' % (v, to_chars(v, ',' in text)))
    unit_tests()
    print('tests/app/soil_classes.txt (P 45, ETp 60, Ps 25, ETps 45, Cs 0.2, zr 60)')
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'app',
                        'soil_classes.txt')
    with open(path) as f:
        cited = [line.split() for line in f if line.strip() and not line.startswith('#')]
    for i, line in enumerate(soil_classes()):
        same = i < len(cited) and line.split() == cited[i]
        if not same:
            failures.append('soil class %d' % (i + 1))
        print(line + ('' if same else '   DIFFERS'))
    tables = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'table', 'tables')
    for name, delimiter in (('soils', ','), ('soils_semicolon', ';')):
        print('tests/table/tables/%s.expected.csv' % name)
        with open(os.path.join(tables, name + '.csv'), newline='') as f:
            computed = table(f.read(), delimiter)
        expected = os.path.join(tables, name + '.expected.csv')
        if sys.argv[1:] == ['--write-tables']:
            with open(expected, 'w', newline='') as f:
                f.write(computed)
        with open(expected, newline='') as f:
            cited = f.read()
        cited_lines = cited.splitlines() + [None] * len(computed)
        for line, cited_line in zip(computed.splitlines(), cited_lines):
            print('  ' + line + ('' if line == cited_line else '   DIFFERS'))
        if computed != cited:
            failures.append(name + '.expected.csv')
    print('all values agree with the tests' if not failures else
          'differences: ' + ', '.join(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
