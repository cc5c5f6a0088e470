"""The contract of the model's inputs and results, from the compiled tables
that recharge-table reads its columns by: every input with its meaning, kind
of quantity and units, the monthly series, the result columns, the statuses
and the methods. Every door of the package, and the QGIS plugin, takes them
from here.

    >>> P = INPUTS[0]
    >>> P.name, P.description, P.quantity, P.model_unit, P.required
    ('P', 'annual precipitation', 'annual total', 'cm', True)
    >>> P.units[:3]
    ('cm/a', 'mm/a', 'm/a')
    >>> [each.name for each in INPUTS if each.required]
    ['P', 'ETp', 'Ps', 'ETps', 'zr', 'zgw', 'class']
    >>> SERIES[0].fields
    ('rain4', 'rain5', 'rain6', 'rain7', 'rain8', 'rain9')
    >>> STATUSES[:4], METHODS
    (('ok', 'no convergence', 'no data', 'input error'), ('bagrov', 'hydropedotransfer', ''))
"""

from typing import NamedTuple, Optional

from . import _core


class Input(NamedTuple):
    """One input of a soil: a column of recharge-table, an argument of
    ``balance`` (``soil_class`` for ``class``), a column of a frame, a
    variable of a Dataset."""

    #: The table's column, case aside: ``"P"``, ``"rain4"``, ``"theta_r"``.
    name: str
    #: What it means: ``"annual precipitation"``.
    description: str
    #: Its kind of quantity, which decides the units it takes: ``"annual
    #: total"``, ``"total"``, ``"length"``, ``"reciprocal length"``,
    #: ``"volume fraction"``, ``"number"``, ``"none"``.
    quantity: str
    #: The model's unit: ``"cm"`` (annual totals: cm in a year), ``"1/cm"``,
    #: ``"1"``, or ``""`` where it takes no unit.
    model_unit: str
    #: Units to offer for it, the model's first (``"cm/a"``, ``"mm/a"``, ...);
    #: empty where the model's is the only one. Any other unit of its kind is
    #: taken as well.
    units: tuple[str, ...]
    #: ``"climate"``, ``"site"``, ``"soil"`` or ``"own parameter"`` (read for
    #: class 0 alone).
    group: str
    #: Whether every soil must give it.
    required: bool
    #: The month, 4 (April) to 9 (September), of a monthly value; else None.
    month: Optional[int]

    @property
    def argument(self) -> str:
        """The argument of ``balance`` that takes it: its name, but
        ``soil_class`` for ``class``, a word Python keeps for itself (a
        monthly value is a month of the series' argument)."""
        return "soil_class" if self.name == "class" else self.name


class Series(NamedTuple):
    """A monthly series, April to September: ``balance``'s ``rain`` and
    ``etp``, a Dataset's variable with a ``month`` dimension."""

    name: str  #: ``"rain"``, ``"etp"``
    description: str  #: ``"monthly rain, April to September"``
    fields: tuple[str, ...]  #: ``("rain4", ..., "rain9")``


class ResultColumn(NamedTuple):
    """One result column of recharge-table, in its order."""

    #: ``"Cs"``, ``"FC"``, ..., ``"ETa"``, ``"R"``.
    name: str
    #: The model's unit: ``"cm"``, ``"cm/a"``, ``"cm/d"``, ``"cm3/cm3"``,
    #: ``"1"``; ``""`` for the method.
    unit: str
    #: What it is: ``"maximum capillary rise rate"``.
    description: str
    #: Whether it follows ``output_units`` (Wmax, and ETa and R per year).
    in_length: bool
    #: Whether it is text (the method) rather than numbers.
    text: bool


#: Every input, in the order of recharge-table's columns.
INPUTS: tuple[Input, ...] = tuple(Input(*each) for each in _core.INPUTS)

#: The monthly series.
SERIES: tuple[Series, ...] = tuple(Series(*each) for each in _core.SERIES)

#: The result columns, Cs to R (the status follows them in a table).
RESULTS: tuple[ResultColumn, ...] = tuple(ResultColumn(*each) for each in _core.RESULT_COLUMNS)

#: Method texts by code: 0 ``bagrov``, 1 ``hydropedotransfer``, 2 ``""``
#: where the pass did not reach the method choice (an input error, no data,
#: or a fault before it).
METHODS: tuple[str, ...] = _core.METHODS

#: Status texts by code: 0 ``ok``, 1 ``no convergence``, 2 ``no data``,
#: 3 ``input error``, then one for each arithmetic fault's report, in the
#: order of the run-time layer's table: ``M6101 floating-point error:
#: invalid``, ``M6103 floating-point error: divide by zero``, ...,
#: ``M6201 pow: DOMAIN error``, ...
STATUSES: tuple[str, ...] = _core.STATUSES
