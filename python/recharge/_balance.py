"""recharge.balance and recharge.solve_bagrov: the model on numpy arrays.

Every argument is checked here and the broadcast shape worked out; the
compiled module reads the arrays in place, broadcast by strides of 0 (no
array is copied), and computes without the GIL, on several threads.
"""

import numbers
from typing import Mapping, Optional, Union

import numpy as np
import numpy.typing as npt

from . import _core, _units
from ._columns import _FIELDS
from ._contract import INPUTS, METHODS, RESULTS, SERIES, STATUSES

_VALUE_COLUMNS = tuple(column.name for column in RESULTS if not column.text)


class Result:
    """The results of a grid of soils, one array of the grid's shape each.

    Attributes
    ----------
    Cs : numpy.ndarray of float64
        Coefficient of simultaneity as used, given or derived (1).
    FC, WP : numpy.ndarray of float64
        Field capacity and wilting point (cm3/cm3).
    Wmax : numpy.ndarray of float64
        Maximum plant-available storage of the root zone (cm, or the length
        of ``output_units``).
    qmax : numpy.ndarray of float64
        Maximum capillary rise rate (cm/d).
    nB : numpy.ndarray of float64
        Bagrov coefficient after its limits (1); NaN on the regression.
    h_an : numpy.ndarray of float64
        Head at which the air content falls to 0.05 (cm); only with
        anaerobiosis on the Bagrov path.
    g : numpy.ndarray of float64
        Share of the summer potential evapotranspiration evaporated (1); only
        on the hydropedotransfer regression.
    ETa, R : numpy.ndarray of float64
        Actual evapotranspiration and groundwater recharge (cm/a, or the
        length of ``output_units`` per year).
    method_code : numpy.ndarray of uint8
        Code into ``recharge.METHODS``: 0 bagrov, 1 hydropedotransfer, 2 none.
    status_code : numpy.ndarray of uint8
        Code into ``recharge.STATUSES``.
    units : dict
        The unit of each value field as UDUNITS-2 reads it: ``{"Cs": "1",
        ..., "Wmax": "cm", ..., "ETa": "cm/year", "R": "cm/year"}``.

    A value is NaN exactly where recharge-table leaves its cell empty: a step
    the cell's path does not take or did not reach, and every value of a cell
    with an input error or no data. As at every door, ``method`` and
    ``status`` are texts, ``method_code`` and ``status_code`` their codes.
    """

    Cs: npt.NDArray[np.float64]
    FC: npt.NDArray[np.float64]
    WP: npt.NDArray[np.float64]
    Wmax: npt.NDArray[np.float64]
    qmax: npt.NDArray[np.float64]
    nB: npt.NDArray[np.float64]
    h_an: npt.NDArray[np.float64]
    g: npt.NDArray[np.float64]
    ETa: npt.NDArray[np.float64]
    R: npt.NDArray[np.float64]
    method_code: npt.NDArray[np.uint8]
    status_code: npt.NDArray[np.uint8]
    units: dict[str, str]

    def __init__(self, columns, problems, units):
        for name in _VALUE_COLUMNS:
            setattr(self, name, columns[name])
        self.units = units
        self.method_code = columns["method"]
        self.status_code = columns["status"]
        # The input errors, in C order of the cells: (cell, kind, field, value).
        self._problems = problems

    @property
    def shape(self) -> tuple[int, ...]:
        """The grid's shape, tuple of int."""
        return self.status_code.shape

    @property
    def method(self) -> Union[npt.NDArray[np.object_], str]:
        """The method of every cell as recharge-table writes it: ``bagrov``,
        ``hydropedotransfer``, or ``""``; numpy.ndarray of object (str), a
        str for a 0-d grid."""
        return np.array(METHODS, dtype=object)[self.method_code.reshape(-1)].reshape(
            self.shape)[()]

    @property
    def status(self) -> Union[npt.NDArray[np.object_], str]:
        """The status of every cell as recharge-table writes it.

        numpy.ndarray of object (str) of the grid's shape, a str for a
        0-d grid: ``ok``, ``no
        convergence``, ``no data``, an arithmetic fault's report (``M6201
        pow: DOMAIN error``), or ``input error: `` and its reason (``input
        error: class: 35 is not a soil class (0 to 34)``) -- the table's text
        without its ``line N: ``, as the cells of an array have no lines.
        """
        texts = np.array(STATUSES, dtype=object)[self.status_code.reshape(-1)]
        (cells, kinds, fields, values), reasons = self._problems
        texts[cells] = _core.problem_texts(kinds, fields, values, reasons)
        return texts.reshape(self.shape)[()]

    def __repr__(self) -> str:
        return f"<recharge.Result of shape {self.shape}>"


def _missing(item):
    """Whether an element of an object array is a missing value: None, NaN,
    pandas' NA or NaT."""
    return item is None or (item != item) is True or type(item).__name__ in ("NAType", "NaTType")


def _real(number):
    """A real number as a float, infinite beyond the range of a double."""
    try:
        return float(number)
    except OverflowError:
        return float("inf") if number > 0 else float("-inf")


def _as_numbers(label, value):
    """``value`` as an array of a number type the module reads, or TypeError.

    A masked array's masked cells, ``None`` and pandas' missing values are NaN,
    as empty cells: ``[60, None]`` -> ``[60.0, nan]``; an integer beyond the
    range of a double is infinite, the cell's input error as in the table.
    """
    if np.ma.isMaskedArray(value):
        value = np.ma.filled(value.astype(np.float64), np.nan)
    array = np.asarray(value)
    if array.dtype.kind == "O":
        if not all(_missing(item) or isinstance(item, (numbers.Real, np.bool_))
                   for item in array.flat):
            raise TypeError(f"{label}: numbers are needed, not an array of objects")
        array = np.array([np.nan if _missing(item) else _real(item) for item in array.flat],
                         dtype=np.float64).reshape(array.shape)
    if array.dtype.kind not in "fiub":
        raise TypeError(f"{label}: numbers are needed, not an array of {array.dtype}")
    if not array.dtype.isnative or (array.dtype.kind == "f" and array.itemsize not in (4, 8)):
        array = array.astype(np.float64)  # float16, long double, the other byte order
    return array


def _thread_count(threads):
    """The number of threads: AvailableCpus() for None, else 1 to MAX_THREADS."""
    if threads is None:
        return _core.available_cpus()
    if isinstance(threads, bool) or not isinstance(threads, numbers.Integral):
        raise TypeError(f"threads: a whole number is needed, not {threads!r}")
    if not 1 <= threads <= _core.MAX_THREADS:
        raise ValueError(f"threads: {threads} is not from 1 to {_core.MAX_THREADS}")
    return int(threads)


def _broadcast_shape(arrays):
    """The shape all ``arrays`` ({label: (array, trailing axes)}) broadcast to."""
    own = {label: array.shape[: array.ndim - trailing]
           for label, (array, trailing) in arrays.items()}
    try:
        return np.broadcast_shapes(*own.values())
    except ValueError:
        pass
    shape = ()
    for label, extents in own.items():  # the first argument that does not fit
        try:
            shape = np.broadcast_shapes(shape, extents)
        except ValueError:
            raise ValueError(
                f"{label}: shape {extents} does not broadcast with the others' {shape}"
            ) from None
    return shape


# Where each field is found when the months come as arrays with a month axis:
# "rain6" -> ("rain", 2).
_MONTH_OF = {name: (series.name, month) for series in SERIES
             for month, name in enumerate(series.fields)}


def _run(fields, no_data, threads, units=None, output_units=None, refused=None,
         interrupted=None):
    """Runs the model on ``fields``.

    Parameters
    ----------
    fields : dict
        Field name (``recharge.INPUTS``) -> (label, value); the months either as
        ``rain4`` ... ``etp9`` or as ``rain`` and ``etp`` with a last axis of
        6. A field that is absent is not given (NaN). ``label`` names the
        argument in errors.
    no_data : bool
        True: a required value not given makes a cell ``no data``; False: the
        table's input error ``P: no value``.
    threads : int or None
    units : dict, optional
        Field name (as in ``fields``) -> the unit of its values, checked
        (``_units.check``); absent: in the model's unit.
    output_units : str, optional
        The length of Wmax, ETa and R, checked (``_units.output``); None: cm.
    refused : dict, optional
        Field name -> (codes, reasons) for the cells of a field that could not
        be read as numbers: ``codes`` an int32 array of the field's shape, the
        index into the list ``reasons`` of each such cell's reason, -1 for
        the others.
    interrupted : callable, optional
        Asked between blocks of cells, on whichever thread runs the call: the
        call ends with KeyboardInterrupt once it returns true.
    """
    threads = _thread_count(threads)
    units = units or {}
    given, labelled = {}, {}
    for name, (label, value) in fields.items():
        array = _as_numbers(label, value)
        trailing = 1 if name in ("rain", "etp") else 0
        if trailing and (array.ndim == 0 or array.shape[-1] != 6):
            raise ValueError(
                f"{label}: the last axis must hold the 6 months April to September, "
                f"not shape {array.shape}"
            )
        given[name] = array
        labelled[label] = (array, trailing)
    shape = _broadcast_shape(labelled)
    arrays, field_units = [], []
    for name in _FIELDS:
        series, month = _MONTH_OF.get(name, (None, None))
        if series in given:
            arrays.append(given[series][..., month])
            field_units.append(units.get(series))
        else:
            arrays.append(given.get(name))  # None: not given
            field_units.append(units.get(name))
    reasons, refused_codes = [], [None] * len(_FIELDS)
    for name, (codes, texts) in (refused or {}).items():
        refused_codes[_FIELDS.index(name)] = np.where(codes >= 0, codes + len(reasons), -1).astype(
            np.int32)
        reasons.extend(texts)
    columns, problems = _core.balance(arrays, shape, no_data, threads, refused_codes, field_units,
                                      output_units, interrupted)
    return Result(columns, (problems, reasons), _units.result_units(output_units))


def _check_labels(arguments):
    """TypeError unless the labelled arguments (pandas Series or DataFrames,
    xarray DataArrays) carry the same labels in the same order, so that
    combining them by position, as balance does, combines them by label."""
    labelled = {label: value for label, value in arguments.items()
                if hasattr(value, "index") and hasattr(value, "to_numpy")
                or hasattr(value, "dims") and hasattr(value, "coords")}
    if not labelled:
        return
    (first, reference), *others = labelled.items()
    for label, value in others:
        if hasattr(reference, "dims") != hasattr(value, "dims"):
            same = False
        elif hasattr(value, "dims"):
            import xarray as xr

            try:
                xr.align(value, reference, join="exact")
                same = value.dims == reference.dims
            except ValueError:
                same = False
        else:
            same = value.index.equals(reference.index)
        if not same:
            raise TypeError(
                f"{label} and {first} carry different labels, and balance combines its arguments "
                "by position: align them first, or give labelled data to balance_frame (pandas) "
                "or balance_dataset (xarray)")


# The field of each argument of balance that is not named as its field, and
# the field whose units a month series takes.
_FIELD_OF = {each.argument: each.name for each in INPUTS if each.argument != each.name}
_UNIT_FIELD_OF = {series.name: series.fields[0] for series in SERIES}


def _argument_units(units, arguments):
    """{field: unit} for ``balance``'s ``units``: one unit for the climate
    amounts and depths given, or {argument name: unit}; each checked."""
    if units is None:
        return {}
    if isinstance(units, str):
        where = "units"
        units = {label: units for label, value in arguments.items() if value is not None and
                 _UNIT_FIELD_OF.get(label, label) in _units.COMMON_UNIT_FIELDS}
    else:
        where = None
    checked = {}
    for label, unit in dict(units).items():
        if label not in arguments:
            raise ValueError(f"units: {label!r} is no argument of balance")
        if unit is not None:
            field = _FIELD_OF.get(label, label)
            checked[field] = _units.check(_UNIT_FIELD_OF.get(field, field), unit,
                                          where or f"units[{label!r}]")
    return checked


def balance(P: npt.ArrayLike, ETp: npt.ArrayLike, Ps: npt.ArrayLike, ETps: npt.ArrayLike,
            zr: npt.ArrayLike, zgw: npt.ArrayLike, soil_class: npt.ArrayLike, *,
            Cs: Optional[npt.ArrayLike] = None, rain: Optional[npt.ArrayLike] = None,
            etp: Optional[npt.ArrayLike] = None, theta_r: Optional[npt.ArrayLike] = None,
            theta_s: Optional[npt.ArrayLike] = None, alpha: Optional[npt.ArrayLike] = None,
            n: Optional[npt.ArrayLike] = None, p1: Optional[npt.ArrayLike] = None,
            p2: Optional[npt.ArrayLike] = None, anaerobiosis: npt.ArrayLike = False,
            units: Union[str, Mapping[str, Optional[str]], None] = None,
            output_units: Optional[str] = None, threads: Optional[int] = None) -> Result:
    """Water balance of a grid of soils: the model of recharge-table, cell by cell.

    Every argument is a scalar or an array; all are broadcast together by
    numpy's rules (``rain`` and ``etp`` without their last axis). NaN is a
    value not given, as an empty cell of the table: for Cs, the months, the
    own parameters and anaerobiosis the cell then goes without it (Cs from the
    months, anaerobiosis 0); in a required input (P, ETp, Ps, ETps, zr, zgw,
    soil_class) the cell has no data (status ``no data``, every value NaN,
    nothing computed). An infinite value, a class that is no whole number
    from 0 to 34 and the like are input errors of the cell, as in the table.
    Integer and bool arrays give the results of the same values in float64.

    Amounts and depths are in cm (annual ones in cm/a) unless ``units`` says
    otherwise; a unit that is a power of ten of the model's divides or
    multiplies by that exact power, once, before the model (600 mm is exactly
    60 cm), any other multiplies by its factor once. A result length that is
    a power of ten of cm is the value recharge-table writes, read back (the
    shortest text of the cm value with its point moved).

    Parameters
    ----------
    P, ETp : array_like
        Long-term average annual precipitation and potential
        evapotranspiration (cm/a).
    Ps, ETps : array_like
        The same for the summer half-year (cm).
    zr, zgw : array_like
        Root zone depth and depth to groundwater below the surface (cm).
    soil_class : array_like
        Soil class 1 to 34, or 0 for the own parameters; a float array of
        whole numbers is read as well (a raster).
    Cs : array_like, optional
        Coefficient of simultaneity (1); where not given, derived from
        ``rain`` and ``etp``.
    rain, etp : array_like, optional
        Monthly rain and potential evapotranspiration (cm), last axis the 6
        months April to September.
    theta_r, theta_s : array_like, optional
        Own residual and saturated water content (cm3/cm3), read for class 0.
    alpha, n : array_like, optional
        Own van Genuchten parameters (1/cm, 1), read for class 0.
    p1, p2 : array_like, optional
        Own coefficient and exponent of the qmax estimate, read for class 0.
    anaerobiosis : array_like, optional
        1 (or True): severe anaerobiosis expected, on the Bagrov path; 0.
    units : str or dict, optional
        The unit of every climate amount and depth given (P, ETp, Ps, ETps,
        rain, etp, zr, zgw), ``"mm"``; or a unit for each argument named,
        ``{"P": "kg m-2 s-1", "zgw": "m", "alpha": "1/m", "theta_s": "%"}``.
        P and ETp take a length, a length per year (``mm/a``, ``mm year-1``),
        a mass of water per area (``kg m-2``) or a mean rate (``mm d-1``,
        ``kg m-2 s-1``) times one year; see the README's Units for all.
    output_units : str, optional
        The length of Wmax, ETa and R (``"mm"``: Wmax in mm, ETa and R in
        mm/year); by default cm. ``Result.units`` names every field's unit.
    threads : int, optional
        Threads to compute on, 1 to ``recharge.MAX_THREADS``; by default the
        CPUs the process may
        use (``OMP_NUM_THREADS``, affinity, the container's quota). The
        results do not depend on it.

    Returns
    -------
    Result
        Arrays of the broadcast shape (0-d for scalars): Cs, FC, WP, Wmax,
        qmax, nB, h_an, g, ETa, R, method_code and status_code, and the
        texts method and status.

    Raises
    ------
    TypeError
        An argument that is not numbers (strings, objects, complex), or
        ``threads`` that is no whole number.
    ValueError
        Shapes that do not broadcast, ``rain`` or ``etp`` without the month
        axis, ``threads`` outside 1 to ``MAX_THREADS``, a unit that its argument does not
        take (naming both and what the argument takes).
    RuntimeError
        UDUNITS-2's unit database cannot be read (naming the file and
        ``UDUNITS2_XML_PATH``).

    Notes
    -----
    Faults, no convergence and input errors are statuses, never exceptions:
    ``Result.status`` gives each cell's text, with the reason of an input
    error.

    Examples
    --------
    >>> r = balance(60, 55, 30, 40, 60, 200, 1, Cs=0.3)
    >>> float(r.ETa), float(r.R), r.method, r.status
    (48.79369975234298, 11.206300247657019, 'bagrov', 'ok')
    >>> balance([60, np.nan], 55, 30, 40, 60, 200, 1, Cs=0.3).status
    array(['ok', 'no data'], dtype=object)
    >>> r = balance(600, 550, 300, 400, 600, 2, 1, Cs=0.3,
    ...             units={"P": "mm", "ETp": "mm", "Ps": "mm", "ETps": "mm",
    ...                    "zr": "mm", "zgw": "m"}, output_units="mm")
    >>> float(r.R), r.units["R"]
    (112.06300247657019, 'mm/year')
    """
    arguments = {
        "P": P, "ETp": ETp, "Ps": Ps, "ETps": ETps, "zr": zr, "zgw": zgw,
        "soil_class": soil_class, "Cs": Cs, "rain": rain, "etp": etp,
        "theta_r": theta_r, "theta_s": theta_s, "alpha": alpha, "n": n, "p1": p1,
        "p2": p2, "anaerobiosis": anaerobiosis,
    }
    _check_labels(arguments)
    fields = {_FIELD_OF.get(label, label): (label, value)
              for label, value in arguments.items() if value is not None}
    return _run(fields, no_data=True, threads=threads, units=_argument_units(units, arguments),
                output_units=_units.output(output_units))


def solve_bagrov(nB: npt.ArrayLike, P: npt.ArrayLike,
                 ETp: npt.ArrayLike) -> Union[npt.NDArray[np.float64], np.float64]:
    """Actual evapotranspiration by the model's own Bagrov solver.

    ETa solves P = integral from 0 to ETa of dE / (1 - (E/ETp)^nB), by the
    solver of the model exactly: a 200-interval Simpson integral with E/ETp
    capped at 0.9999, half Newton steps to within 0.0001 cm of P, the
    shortcut ETa = 0.998 ETp for P >= 2 ETp or nB >= 9.5, and ETa at most ETp
    and at most P. nB is taken as given, without the model's limits 0.5 to 10.

    Parameters
    ----------
    nB : array_like
        Bagrov coefficient (1).
    P, ETp : array_like
        Annual precipitation and potential evapotranspiration (cm/a).

    Returns
    -------
    numpy.ndarray of float64 or numpy.float64
        ETa (cm/a), of the broadcast shape (a scalar for scalars); NaN where
        an input is NaN, where the Newton iteration does not converge within
        500 half steps, or where the solver faults (ETp = 0, P/ETp < 0).

    Examples
    --------
    >>> float(solve_bagrov(2, 60, 50))   # 50 tanh(1.2) = 41.68...
    41.68...
    """
    arrays = {label: (_as_numbers(label, value), 0)
              for label, value in (("nB", nB), ("P", P), ("ETp", ETp))}
    shape = _broadcast_shape(arrays)
    (nB_array, _), (P_array, _), (ETp_array, _) = arrays.values()
    return _core.solve_bagrov(nB_array, P_array, ETp_array, shape, _core.available_cpus())[()]
