"""Units of the inputs and results, read by UDUNITS-2 in the compiled module
(``_core.unit_scale``, the rules of recharge-table): a value in a unit is one
in the model's unit (cm for every amount and depth, annual ones in cm/a) times
an exact power of ten, or times one factor.

    scale("P", "mm", "units['P']") -> (-1, None): 600 mm is 600 / 10 cm
    scale("P", "kg m-2 s-1", ...)  -> (0, 3155692.59747): a year of it in cm
    scale("zgw", "1/m", "units['zgw']") -> ValueError: units['zgw']: zgw takes
        a length (mm, cm, m, in, ...), not "1/m"
"""

import numpy as np

from . import _core

#: The fields that a single unit for "the climate amounts and depths" sets.
COMMON_UNIT_FIELDS = frozenset(_core.COMMON_UNIT_FIELDS)

#: The fields whose model unit is not 1: a grid without their unit warns.
DIMENSIONAL_FIELDS = frozenset(_core.DIMENSIONAL_FIELDS)

#: Value columns of the results that are lengths (Wmax) or lengths per year
#: (ETa, R): they follow ``output_units``.
LENGTH_COLUMNS = frozenset(name for name, in_length, _, _ in _core.RESULT_COLUMNS if in_length)


def scale(field, unit, label):
    """The scale of ``field``'s values in ``unit``, or ValueError naming ``label``."""
    try:
        return _core.unit_scale(field, str(unit))
    except ValueError as error:
        raise ValueError(f"{label}: {error}") from None


def output(unit):
    """The results' length: (unit, scale from cm), ``("cm", (0, None))`` for None,
    or ValueError."""
    if unit is None:
        return "cm", (0, None)
    try:
        return str(unit), _core.length_scale(str(unit))
    except ValueError as error:
        raise ValueError(f"output_units {error}") from None


def result_units(length, year="year"):
    """Each result column's unit, {name: unit}: lengths in ``length`` (``"cm"``
    for the model's), the year spelt ``year`` -- as UDUNITS-2 reads it, or
    ``"a"`` as recharge-table's header writes it."""
    names = (name for name, _, _, _ in _core.RESULT_COLUMNS)
    return {name: unit for name, unit in zip(names, _core.result_units(length, year)) if unit}


def apply(values, scale):
    """``values`` times the scale (shift, factor), as float64: by the exact power
    of ten 10**shift, dividing for a negative shift, or by the factor."""
    shift, factor = scale
    if factor is None and shift == 0:
        return values
    values = np.asarray(values, dtype=np.float64)
    with np.errstate(over="ignore"):  # an infinite value is the cell's input error
        if factor is not None:
            return np.asarray(values * factor)
        return np.asarray(values * 10.0 ** shift if shift > 0 else values / 10.0 ** -shift)
