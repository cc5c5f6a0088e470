"""recharge.balance_frame: a DataFrame of soils as recharge-table reads a table."""

import numbers
from typing import TYPE_CHECKING, Optional

import numpy as np

from . import _core, _units
from ._balance import _run
from ._columns import map_names
from ._contract import METHODS, RESULTS

if TYPE_CHECKING:
    import pandas


def _column_values(frame, position, field, unit):
    """The numbers of one column, the unit they are in, and the cells that
    are none.

    Returns the column's numpy array as it is for a number column, float64
    with NaN for a nullable one (Int64, Float64, boolean) and its missing
    cells, each in ``unit``; for a column of objects, float64 in the model's
    unit (the unit then None) with each cell read as the table reads a cell
    in ``unit``: a text as the table reads its text, its decimal point moved
    for a power of ten (``"605"`` in mm is exactly 60.5), a number as an
    array's number, a missing value NaN, and a text that is no number or a
    cell ``read_table`` could not read refused. The third value is None, or
    (codes, reasons) for the refused cells (``_run``'s ``refused``).
    """
    import pandas as pd

    from ._balance import _missing, _real
    from ._table import Unreadable

    column = frame.iloc[:, position]
    if pd.api.types.is_extension_array_dtype(column.dtype) and pd.api.types.is_numeric_dtype(
        column.dtype
    ):
        return column.to_numpy(dtype=np.float64, na_value=np.nan), unit, None
    if pd.api.types.is_numeric_dtype(column.dtype) or pd.api.types.is_bool_dtype(column.dtype):
        return column.to_numpy(), unit, None
    cells, unreadable = [], {}
    for row, cell in enumerate(column.to_numpy(dtype=object)):
        if isinstance(cell, Unreadable):
            cells.append(None)
            unreadable[row] = cell.reason
        elif isinstance(cell, str):
            cells.append(cell)
        elif _missing(cell):
            cells.append(None)
        elif isinstance(cell, (numbers.Real, np.bool_)):
            cells.append(_real(cell))
        else:
            cells.append(str(cell))
    values, refused = _core.read_cells(field, unit, cells)
    refused.update(unreadable)
    if not refused:
        return values, None, None
    codes = np.full(len(cells), -1, dtype=np.int32)
    codes[list(refused)] = np.arange(len(refused), dtype=np.int32)
    return values, None, (codes, list(refused.values()))


def balance_frame(df: "pandas.DataFrame", *, units: Optional[str] = None,
                  output_units: Optional[str] = None,
                  threads: Optional[int] = None) -> "pandas.DataFrame":
    """The results of recharge-table for a DataFrame with the table's columns.

    The columns are named as the table's, the names of ``recharge.INPUTS``
    and ``id``, without regard to case; every other column is ignored, named
    in one UserWarning with a known name it resembles (``ignoring the column
    clas (did you mean class?)``). Each row is the row
    of the table with the same numbers, and NaN an empty cell -- also in a
    required column, where it is the table's input error ``P: no value``.

    A column name may give its unit, as in the table's header: ``P [mm]``,
    ``zgw (m)``, ``alpha [1/m]``, ``theta_s [%]``. Whatever the units, the
    output columns keep their plain names (``out["R"]``), and
    ``out.attrs["units"]`` names the unit of each (``{"ETa": "mm/a", ...}``),
    as the table's header would.

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
        The length of Wmax, ETa and R (recharge-table's ``--output-units``);
        by default the one ``read_table`` was given (``df.attrs``), else cm.
        A power of ten of cm gives the very values the table writes.
    threads : int, optional
        Threads to compute on, as in ``recharge.balance``.

    Returns
    -------
    pandas.DataFrame
        With the index of ``df``, the columns of recharge-table's output:
        [``id``,] ``Cs`` (1), ``FC``, ``WP`` (cm3/cm3), ``Wmax`` (cm),
        ``qmax`` (cm/d), ``method`` (str), ``nB`` (1), ``h_an`` (cm), ``g``
        (1), ``ETa``, ``R`` (cm/a), ``status`` (str); ``attrs["units"]``
        the unit of each value column. An empty cell of the table is NaN
        here, in ``method`` too, so the frame equals the table's output read
        by ``pandas.read_csv`` (its header's units aside); the status of an
        input error is the table's without its ``line N: ``.

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

    if output_units is None:
        output_units = df.attrs.get("output_units")
    fields, id_position, column_units = map_names(df.columns, "frame", "column", with_id=True,
                                                  common_unit=units)
    values, value_units, refused = {}, {}, {}
    for field, position in fields.items():
        label = f"column {df.columns[position]}"
        unit = _units.check(field, column_units[field], label) if field in column_units else None
        numbers_of_column, value_units[field], cells = _column_values(df, position, field, unit)
        values[field] = (label, numbers_of_column)
        if cells is not None:
            refused[field] = cells
    output_units = _units.output(output_units)
    result = _run(values, no_data=False, threads=threads,
                  units={field: unit for field, unit in value_units.items() if unit},
                  output_units=output_units, refused=refused)
    methods = np.array(METHODS, dtype=object)
    methods[_core.NO_METHOD] = np.nan
    out = {}
    if id_position is not None:
        out["id"] = df.iloc[:, id_position].to_numpy()
    for column in RESULTS:
        name = column.name
        out[name] = methods[result.method_code] if column.text else getattr(result, name)
    out["status"] = result.status
    frame = pd.DataFrame(out, index=df.index)
    frame.attrs["units"] = _units.result_units(output_units, year="a")
    return frame
