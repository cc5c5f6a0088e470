"""recharge: actual evapotranspiration and groundwater recharge of grass-covered soils.

The model of the programs ``recharge`` and ``recharge-table`` (the same C++
code, every number bit-identical to the table's) for numpy arrays, pandas
DataFrames and xarray Datasets, lazy ones on Dask included:

    balance(P, ETp, Ps, ETps, zr, zgw, soil_class, ...)  arrays -> Result
    read_table(path)        a CSV table as recharge-table reads it -> a DataFrame
    balance_frame(df)       the table's columns -> the table's results
    balance_dataset(ds)     gridded variables -> a Dataset of results
    solve_bagrov(nB, P, ETp)   the model's Bagrov solver -> ETa

All amounts are in cm (annual ones in cm/a) unless ``units`` says otherwise.
Faults, no convergence and input errors are a cell's status (``STATUSES``),
never exceptions: the model finds faults by checks of values, and leaves
Python's floating-point behaviour and signal handlers as they were.

Example::

    >>> import recharge
    >>> r = recharge.balance(60, 55, 30, 40, 60, 200, 1, Cs=0.3)
    >>> float(r.R), recharge.STATUSES[r.status]
    (11.206300247657019, 'ok')
"""

from ._balance import METHODS, STATUSES, Result, balance, solve_bagrov
from ._core import __version__
from ._dataset import balance_dataset
from ._frame import balance_frame
from ._table import Unreadable, read_table

__all__ = [
    "METHODS",
    "STATUSES",
    "Result",
    "Unreadable",
    "__version__",
    "balance",
    "balance_dataset",
    "balance_frame",
    "read_table",
    "solve_bagrov",
]
