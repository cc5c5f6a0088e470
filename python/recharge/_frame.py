"""recharge.balance_frame: a DataFrame of soils as recharge-table reads a table."""

import numbers

import numpy as np

from . import _core, _units
from ._balance import METHODS, _run
from ._columns import map_names


def _column_values(frame, position, field):
    """The numbers of one column and the cells that are none.

    Returns the column's numpy array as it is for a number column, float64
    with NaN for a nullable one (Int64, Float64, boolean) and its missing
    cells; for a column of objects, float64 with each cell read as the table
    reads a cell: a number as it is, a missing value NaN, a text as the table
    reads its text (``"60.5"`` is 60.5), and a text that is no number or a
    cell ``read_table`` could not read refused. The second value is None, or
    (codes, reasons) for the refused cells (``_run``'s ``refused``).
    """
    import pandas as pd

    from ._balance import _missing
    from ._table import Unreadable

    column = frame.iloc[:, position]
    if pd.api.types.is_extension_array_dtype(column.dtype) and pd.api.types.is_numeric_dtype(
        column.dtype
    ):
        return column.to_numpy(dtype=np.float64, na_value=np.nan), None
    if pd.api.types.is_numeric_dtype(column.dtype) or pd.api.types.is_bool_dtype(column.dtype):
        return column.to_numpy(), None
    cells = column.to_numpy(dtype=object)
    values = np.full(len(cells), np.nan)
    codes = np.full(len(cells), -1, dtype=np.int32)
    reasons = []
    for row, cell in enumerate(cells):
        if isinstance(cell, Unreadable):
            value, reason = None, cell.reason
        elif isinstance(cell, str):
            value, reason = _core.cell_number(field, cell.strip(" \t"))
        elif _missing(cell):
            continue
        elif isinstance(cell, (numbers.Real, np.bool_)):
            value, reason = float(cell), None
        else:
            value, reason = _core.cell_number(field, str(cell))
        if reason is None:
            values[row] = value
        else:
            codes[row] = len(reasons)
            reasons.append(reason)
    return values, (codes, reasons) if reasons else None


def balance_frame(df, *, units=None, output_units=None, threads=None):
    """The results of recharge-table for a DataFrame with the table's columns.

    The columns are named as the table's (``P``, ``ETp``, ``Ps``, ``ETps``,
    ``Cs``, ``rain4`` ... ``rain9``, ``etp4`` ... ``etp9``, ``zr``, ``zgw``,
    ``class``, ``theta_r``, ``theta_s``, ``alpha``, ``n``, ``p1``, ``p2``,
    ``anaerobiosis``, and ``id``), without regard to case; every other column
    is ignored, named in one UserWarning with a known name it resembles
    (``ignoring the column clas (did you mean class?)``). Each row is the row
    of the table with the same numbers, and NaN an empty cell -- also in a
    required column, where it is the table's input error ``P: no value``.

    A column name may give its unit, as in the table's header: ``P [mm]``,
    ``zgw (m)``, ``alpha [1/m]``, ``theta_s [%]``. When any unit is given or
    asked for, the output columns name theirs as the table's do
    (``ETa [mm/a]``).

    Parameters
    ----------
    df : pandas.DataFrame
        One soil a row; amounts in cm (annual ones in cm/a) where a column's
        name gives no unit, as in ``recharge.balance``. Number columns
        (float, int, bool, or their nullable kinds), or columns of objects
        whose cells are read as the table reads its cells: ``"60.5"`` is
        60.5, a text that is no number (``"6o"``) its row's input error, as
        is a cell that ``read_table`` could not read.
    units : str, optional
        The unit of the climate and depth columns whose name gives none
        (recharge-table's ``--units``).
    output_units : str, optional
        The length of Wmax, ETa and R (recharge-table's ``--output-units``).
    threads : int, optional
        Threads to compute on, as in ``recharge.balance``.

    Returns
    -------
    pandas.DataFrame
        With the index of ``df``, the columns of recharge-table's output:
        [``id``,] ``Cs`` (1), ``FC``, ``WP`` (cm3/cm3), ``Wmax`` (cm),
        ``qmax`` (cm/d), ``method`` (str), ``nB`` (1), ``h_an`` (cm), ``g``
        (1), ``ETa``, ``R`` (cm/a), ``status`` (str). An empty cell of the
        table is NaN here, in ``method`` too, so the frame equals the table's
        output read by ``pandas.read_csv``; the status of an input error is
        the table's without its ``line N: ``.

    Raises
    ------
    ValueError
        A required column missing (every one named) or a column twice, a
        unit that its column does not take.
    TypeError
        A column of numbers that are not real (complex).

    Examples
    --------
    >>> frame = pd.DataFrame({"P": [60], "ETp": [55], "Ps": [30], "ETps": [40],
    ...                       "Cs": [0.3], "zr": [60], "zgw": [200], "class": [1]})
    >>> balance_frame(frame)[["ETa", "R", "status"]]
           ETa        R status
    0  48.7937  11.2063     ok
    """
    import pandas as pd

    fields, id_position, column_units = map_names(df.columns, "frame", "column", with_id=True,
                                                  common_unit=units)
    values, scales, refused = {}, {}, {}
    for field, position in fields.items():
        label = f"column {df.columns[position]}"
        numbers_of_column, refused[field] = _column_values(df, position, field)
        values[field] = (label, numbers_of_column)
        if field in column_units:
            scales[field] = _units.scale(field, column_units[field], label)
    output = _units.output(output_units)
    refused = {field: cells for field, cells in refused.items() if cells is not None}
    result = _run(values, no_data=False, threads=threads, scales=scales, output=output,
                  refused=refused)
    named = column_units or output_units is not None
    header = _units.result_units(output[0], year="a") if named else {}
    methods = np.array(METHODS, dtype=object)
    methods[_core.NO_METHOD] = np.nan
    out = {}
    if id_position is not None:
        out["id"] = df.iloc[:, id_position].to_numpy()
    for name, _, _, _ in _core.RESULT_COLUMNS:
        column = f"{name} [{header[name]}]" if name in header else name
        out[column] = methods[result.method] if name == "method" else getattr(result, name)
    out["status"] = result.status_text()
    return pd.DataFrame(out, index=df.index)
