"""The names of a frame's columns or a dataset's variables, read by the very
rules of recharge-table's header (the compiled module's ``map_names``): the
input fields' names (``recharge.INPUTS``) and ``id``, each without regard to
case; any other name is ignored, named in one UserWarning together with a
known name it resembles. A name may give its unit, ``P [mm]``.

    ["id", "P [mm]", "clas", "Zr", ...] -> fields {"P": 1, "zr": 3, ...},
    id 0, units {"P": "mm"}, and the warning "ignoring the column clas (did
    you mean class?)"
"""

import warnings
from typing import Optional

from . import _core
from ._contract import INPUTS

_FIELDS = tuple(each.name for each in INPUTS)


def map_names(names, holder, name, with_id, common_unit=None):
    """Where each known name stands among ``names``.

    Parameters
    ----------
    names : sequence
        The column or variable names, each read as ``str(name)`` (bytes that
        are no UTF-8 kept as surrogate escapes, as ``read_table`` keeps them).
    holder, name : str
        ``"frame"`` and ``"column"``, or ``"dataset"`` and ``"variable"``, for
        the messages.
    with_id : bool
        Whether ``id`` is known.
    common_unit : str, optional
        The unit of the climate and depth columns whose name gives none.

    Returns
    -------
    fields : dict
        Field name -> position in ``names``.
    id_position : int or None
    units : dict
        Field name -> its unit: the one its name gives (``"P [mm]"``,
        ``"zgw (m)"``), else ``common_unit`` for a climate amount or depth.

    Raises
    ------
    ValueError
        A known name twice, or a required one missing (every one named).
    """
    positions, id_position, problem, notice, units = _core.map_names(
        [str(each).encode("utf-8", "surrogateescape") for each in names], holder, name, with_id,
        common_unit or "")
    if problem:
        raise ValueError(problem)
    if notice:
        warnings.warn(notice, UserWarning, stacklevel=3)
    return ({field: position for field, position in zip(_FIELDS, positions)
             if position is not None}, id_position,
            {field: unit for field, unit in zip(_FIELDS, units) if unit is not None})


def field_named(name: str) -> Optional[str]:
    """The input that a column, field or variable ``name`` stands for, by
    recharge-table's header rules (case aside, a unit in the name aside), or
    None.

    >>> field_named("zGW (m)"), field_named("Class"), field_named("notes")
    ('zgw', 'class', None)
    """
    positions, *_ = _core.map_names([str(name).encode("utf-8", "surrogateescape")], "names",
                                    "name", False, "")
    return next((field for field, position in zip(_FIELDS, positions) if position is not None),
                None)


def column_unit(name: str, field: str, unit: Optional[str] = None,
                given_as: str = "the unit given") -> Optional[str]:
    """The unit of the column ``name`` (a table's column, a frame's, a
    layer's field, a Dataset's variable) that holds ``field``: the one its
    name gives, as recharge-table reads a header (``"ETp [mm]"``), else
    ``unit``, given apart from the name; None for the model's.

    Parameters
    ----------
    name : str
        The column's name, whichever input it is chosen for.
    field : str
        The input it holds (``recharge.INPUTS``).
    unit : str, optional
        A unit given apart from the name: a ``units`` attribute, a unit chosen.
    given_as : str, optional
        What ``unit`` is, for the message: ``"the units attribute"``.

    Raises
    ------
    ValueError
        Either is no unit that ``field`` takes, or the name gives a unit and
        ``unit`` another, that means other amounts of ``field`` (``mm`` and
        ``millimeter`` agree, as do ``mm`` and ``mm/a`` for P).

    >>> column_unit("ETp [mm]", "ETp"), column_unit("rain_total", "P", "mm/a")
    ('mm', 'mm/a')
    >>> column_unit("ETp [mm]", "ETp", "millimeter")
    'mm'
    >>> column_unit("ETp [mm]", "ETp", "m")
    Traceback (most recent call last):
    ...
    ValueError: ETp [mm]: the name gives the unit mm, the unit given m
    """
    try:
        return _core.named_unit(str(name), field, "" if unit is None else str(unit), given_as)
    except ValueError as error:
        raise ValueError(f"{name}: {error}") from None
