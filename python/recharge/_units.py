"""Units of the inputs and results, read by UDUNITS-2 in the compiled module
(the rules of recharge-table): here a unit is only checked, naming the
argument it was given for; the compiled module converts the values, once,
as the table does.

    check("P", "mm", "units['P']") -> "mm"
    check("zgw", "1/m", "units['zgw']") -> ValueError: units['zgw']: zgw takes
        a length (mm, cm, m, in, ...), not "1/m"
"""

from . import _core
from ._contract import INPUTS, RESULTS

#: The fields that a single unit for "the climate amounts and depths" sets.
COMMON_UNIT_FIELDS = frozenset(_core.COMMON_UNIT_FIELDS)

#: The fields whose model unit is not 1: a grid without their unit warns.
DIMENSIONAL_FIELDS = frozenset(each.name for each in INPUTS
                               if each.model_unit not in ("", "1"))


def check(field, unit, label):
    """``unit`` as a str, once ``field`` is known to take it (the compiled
    module reads each field's unit once); ValueError naming ``label``
    otherwise."""
    try:
        _core.unit_scale(field, str(unit))
    except ValueError as error:
        raise ValueError(f"{label}: {error}") from None
    return str(unit)


def output(unit):
    """The results' length as a str, None for cm; ValueError when it is no
    length."""
    if unit is None:
        return None
    try:
        _core.length_scale(str(unit))
    except ValueError as error:
        raise ValueError(f"output_units {error}") from None
    return str(unit)


def result_units(length, year="year"):
    """Each result column's unit, {name: unit}: lengths in ``length`` (None
    for the model's cm), the year spelt ``year`` -- as UDUNITS-2 reads it, or
    ``"a"`` as recharge-table's header writes it."""
    units = _core.result_units(length or "cm", year)
    return {column.name: unit for column, unit in zip(RESULTS, units) if unit}
