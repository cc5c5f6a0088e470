"""The names of a frame's columns or a dataset's variables, read by the very
rules of recharge-table's header (the compiled module's ``map_names``): the
input fields' names (P, ETp, ..., rain4 ... etp9, class, anaerobiosis) and
``id``, each without regard to case; any other name is ignored, named in one
UserWarning together with a known name it resembles.

    ["id", "P [mm]", "clas", "Zr", ...] -> fields {"P": 1, "zr": 3, ...},
    id 0, units {"P": "mm"}, and the warning "ignoring the column clas (did
    you mean class?)"
"""

import warnings

from . import _core


def map_names(names, holder, name, with_id, common_unit=None):
    """Where each known name stands among ``names``.

    Parameters
    ----------
    names : sequence
        The column or variable names, each read as ``str(name)``.
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
        Field name (``_core.FIELDS``) -> position in ``names``.
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
        [str(each) for each in names], holder, name, with_id, common_unit or "")
    if problem:
        raise ValueError(problem)
    if notice:
        warnings.warn(notice, UserWarning, stacklevel=3)
    return ({field: position for field, position in zip(_core.FIELDS, positions)
             if position is not None}, id_position,
            {field: unit for field, unit in zip(_core.FIELDS, units) if unit is not None})
