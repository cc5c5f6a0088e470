"""recharge: actual evapotranspiration and groundwater recharge of grass-covered soils.

The model of the programs ``recharge`` and ``recharge-table`` (the same C++
code, every number bit-identical to the table's) for numpy arrays, pandas
DataFrames and xarray Datasets, lazy ones on Dask included:

    balance(P, ETp, Ps, ETps, zr, zgw, soil_class, ...)  arrays -> Result
    read_table(path)        a CSV table as recharge-table reads it -> a DataFrame
    balance_frame(df)       the table's columns -> the table's results
    balance_dataset(ds)     gridded variables -> a Dataset of results
    solve_bagrov(nB, P, ETp)   the model's Bagrov solver -> ETa

and the contract every door shares, from the tables of the C++ model:
``INPUTS`` (each input's name, meaning, kind of quantity, units, whether it
is required), ``SERIES`` (the months), ``RESULTS`` (the result columns),
``STATUSES`` and ``METHODS`` (the texts of the codes), and how a column's
name reads: ``field_named``, ``column_unit``.

All amounts are in cm (annual ones in cm/a) unless a unit says otherwise.
Wherever they appear, ``status`` and ``method`` are texts, ``status_code``
and ``method_code`` their codes into ``STATUSES`` and ``METHODS``. Faults,
no convergence and input errors are a cell's status, never exceptions: the
model finds faults by checks of values, and leaves Python's floating-point
behaviour and signal handlers as they were.

Example::

    >>> import recharge
    >>> r = recharge.balance(60, 55, 30, 40, 60, 200, 1, Cs=0.3)
    >>> float(r.R), r.status, recharge.STATUSES[r.status_code]
    (11.206300247657019, 'ok', 'ok')
"""

from ._balance import Result, balance, solve_bagrov
from ._columns import column_unit, field_named
from ._contract import (
    INPUTS,
    METHODS,
    RESULTS,
    SERIES,
    STATUSES,
    Input,
    ResultColumn,
    Series,
)
from ._core import MAX_THREADS, __version__
from ._dataset import balance_dataset
from ._frame import balance_frame
from ._table import Unreadable, read_table

__all__ = [
    "INPUTS",
    "MAX_THREADS",
    "METHODS",
    "RESULTS",
    "SERIES",
    "STATUSES",
    "Input",
    "Result",
    "ResultColumn",
    "Series",
    "Unreadable",
    "__version__",
    "balance",
    "balance_dataset",
    "balance_frame",
    "column_unit",
    "field_named",
    "read_table",
    "solve_bagrov",
]
