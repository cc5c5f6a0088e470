"""The names of a frame's columns or a dataset's variables, as recharge-table
reads a header: the input fields' names (P, ETp, ..., rain4 ... etp9, class,
anaerobiosis) and ``id``, each without regard to case; any other name is
ignored, named in one UserWarning together with a known name it resembles.

    ["id", "P", "clas", "Zr", ...] -> fields {"P": 1, "zr": 3, ...}, id 0,
    and the warning "ignoring the column clas (did you mean class?)"
"""

import warnings

from . import _core

_REQUIRED = tuple(_core.FIELDS[field] for field in _core.REQUIRED)


def _lookalike(names, known):
    """The first of ``names`` that resembles ``known``, or None."""
    return next((name for name in names if _core.resembles(name, known)), None)


def map_names(names, container, kind, with_id):
    """Where each known name stands among ``names``.

    Parameters
    ----------
    names : sequence
        The column or variable names; those that are not str are unknown.
    container, kind : str
        ``"frame"`` and ``"column"``, or ``"dataset"`` and ``"variable"``, for
        the messages.
    with_id : bool
        Whether ``id`` is known.

    Returns
    -------
    fields : dict
        Field name (``_core.FIELDS``) -> position in ``names``.
    id_position : int or None

    Raises
    ------
    ValueError
        A known name twice, or a required one missing (every one named).
    """
    known_names = (("id",) if with_id else ()) + _core.FIELDS
    fields, id_position, unknown = {}, None, []
    for position, name in enumerate(names):
        text = name if isinstance(name, str) else None
        known = next((k for k in known_names if text is not None and _core.same_name(k, text)),
                     None)
        if known is None:
            if name != "":
                unknown.append(str(name))
            continue
        earlier = id_position if known == "id" else fields.get(known)
        if earlier is not None:
            raise ValueError(f"the {container} has the {kind} {known} twice "
                             f"({names[earlier]} and {name})")
        if known == "id":
            id_position = position
        else:
            fields[known] = position
    missing = []
    for required in _REQUIRED:
        if required not in fields:
            lookalike = _lookalike(unknown, required)
            missing.append(f"no {kind} {required}"
                           + (f" (it has {lookalike})" if lookalike else ""))
    if missing:
        raise ValueError(f"the {container} has " + ", ".join(missing))
    if unknown:
        notes = []
        for name in unknown:
            lookalike = next((k for k in known_names if _core.resembles(name, k)), None)
            notes.append(name + (f" (did you mean {lookalike}?)" if lookalike else ""))
        s = "s" if len(unknown) > 1 else ""
        warnings.warn(f"ignoring the {kind}{s} " + ", ".join(notes), UserWarning, stacklevel=3)
    return fields, id_position
