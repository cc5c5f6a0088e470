"""recharge.balance_dataset: gridded soils in an xarray Dataset, lazy or not."""

import functools
import sys
import warnings
from typing import TYPE_CHECKING, Optional

import numpy as np

from . import _core, _units
from ._balance import _VALUE_COLUMNS, _run
from ._columns import column_unit, field_named, map_names
from ._contract import INPUTS, METHODS, RESULTS, SERIES, STATUSES

if TYPE_CHECKING:
    import xarray

# The output variables, in the order the block function returns them: the
# method and the status as their codes.
_OUTPUTS = _VALUE_COLUMNS + ("method_code", "status_code")

_LONG_NAMES = {column.name: column.description for column in RESULTS}
_LONG_NAMES["method_code"] = _LONG_NAMES.pop("method")
_LONG_NAMES["status_code"] = _core.STATUS_DESCRIPTION


def _flag_meanings(texts):
    """CF flag_meanings: one word for each text, "M6201 pow: DOMAIN error" ->
    "M6201_pow_DOMAIN_error", "" -> "none"."""
    return " ".join(text.replace(":", "").replace(" ", "_") or "none" for text in texts)


# Dask computations that Ctrl-C has ended. KeyboardInterrupt reaches the main
# thread alone, where Dask waits for its chunks; the chunks that run on other
# threads learn of it here, and stop.
_interrupted_computations = 0


def _count_interrupts(dsk, state, errored):
    """A Dask callback's finish: counts a computation that ends by Ctrl-C."""
    global _interrupted_computations
    if errored and isinstance(sys.exc_info()[1], KeyboardInterrupt):
        _interrupted_computations += 1


@functools.lru_cache(maxsize=None)
def _watch_interrupts():
    """Registers, once, the Dask callback that counts interrupted computations."""
    from dask.callbacks import Callback

    Callback(finish=_count_interrupts).register()


def _interrupted_since_now():
    """Whether a Dask computation has been ended by Ctrl-C since this call."""
    start = _interrupted_computations
    return lambda: _interrupted_computations != start


def _balance_block(*blocks, fields, labels, units, output_units, threads):
    """The model on one chunk: numpy blocks of the fields, broadcastable; it
    stops when Ctrl-C ends a computation while it runs."""
    values = {field: (f"variable {label}", block)
              for field, label, block in zip(fields, labels, blocks)}
    result = _run(values, no_data=True, threads=threads, units=units, output_units=output_units,
                  interrupted=_interrupted_since_now())
    return tuple(getattr(result, name) for name in _OUTPUTS)


def _decoded(variable):
    """``variable`` with the CF encoding its attributes still describe applied:
    integers stored signed that ``_Unsigned`` says are unsigned read so, cells
    equal to ``_FillValue`` or ``missing_value`` (rioxarray's nodata) NaN, then
    ``scale_factor`` and ``add_offset``, as ``mask_and_scale=True`` would have
    decoded it. A variable opened decoded has none of them left."""
    attrs = dict(variable.attrs)
    unsigned = str(attrs.pop("_Unsigned", "false")).lower() == "true"
    fills = [np.atleast_1d(attrs.pop(key)) for key in ("_FillValue", "missing_value")
             if key in attrs]
    scale, offset = attrs.pop("scale_factor", None), attrs.pop("add_offset", None)
    if not (unsigned or fills) and scale is None and offset is None:
        return variable
    decoded = variable
    if unsigned and variable.dtype.kind == "i":
        dtype = np.dtype(f"u{variable.dtype.itemsize}")
        decoded = variable.copy(data=variable.data.view(dtype))
        fills = [fill.astype(variable.dtype).view(dtype) for fill in fills]
    for fill in fills:
        for value in fill:
            if value == value:  # a NaN fill value marks nothing a NaN does not
                decoded = decoded.where(decoded != value)
    if scale is not None:
        decoded = decoded.astype(np.float64) * np.float64(scale)
    if offset is not None:
        decoded = decoded.astype(np.float64) + np.float64(offset)
    return decoded.assign_attrs(attrs).rename(variable.name)


def _months_split(ds):
    """``ds`` with a variable ``rain`` or ``etp`` (any case, a unit in its
    name or not) that has a ``month`` dimension of the 6 months April to
    September split into the month variables (``rain4`` ... ``rain9``, with
    the unit of the name), as ``balance`` takes its month axis: in the order
    of a ``month`` coordinate's labels 4 to 9 where it has one, else in its
    order. ValueError for another number of months, other labels, or months
    given also as their own variables."""
    for series in SERIES:
        months = series.fields
        for name in list(ds.data_vars):
            variable = ds[name]
            base, unit = _core.split_unit(str(name))
            if base.lower() != series.name or "month" not in variable.dims:
                continue
            if variable.sizes["month"] != len(months):
                raise ValueError(f"variable {name}: the month dimension must hold the "
                                 f"{len(months)} months April to September, not "
                                 f"{variable.sizes['month']}")
            given = [other for other in ds.data_vars if field_named(str(other)) in months]
            if given:
                raise ValueError(f"variable {name}: the months are given twice, also as the "
                                 f"variable {given[0]}")
            if "month" in variable.coords:
                labels = variable["month"].values.tolist()
                numbers = [each.month for each in INPUTS if each.name in months]
                if sorted(labels, key=str) != sorted(numbers, key=str):
                    raise ValueError(f"variable {name}: the month coordinate must label the "
                                     f"months {numbers[0]} to {numbers[-1]}, not {labels}")
                variable = variable.sel(month=numbers)
            ds = ds.drop_vars(name).assign({
                f"{month} [{unit}]" if unit else month: variable.isel(month=i, drop=True)
                for i, month in enumerate(months)})
    return ds


def _warn_outer_product(inputs):
    """One UserWarning when the inputs' dimensions broadcast to a grid that no
    input has: ``y, x`` against ``lat, lon`` makes every y, x cell of every
    lat, lon cell."""
    dims = {dim for variable in inputs for dim in variable.dims}
    if len(dims) > max(len(variable.dims) for variable in inputs) and not any(
            set(variable.dims) == dims for variable in inputs):
        shapes = sorted({", ".join(map(str, variable.dims)) for variable in inputs if variable.dims})
        warnings.warn(f"the variables' dimensions ({'; '.join(shapes)}) make a grid of every "
                      "combination that none of them has; rename the dimensions that are "
                      "the same", UserWarning, stacklevel=3)


def _variable_units(fields, inputs):
    """{field: unit} from each variable's name (``P [mm]``) or CF ``units``
    attribute, ValueError where the two disagree; one UserWarning names the
    variables of a dimensional field without a unit."""
    units, unitless = {}, []
    for field, variable in zip(fields, inputs):
        try:
            unit = column_unit(variable.name, field, variable.attrs.get("units"),
                               "the units attribute")
        except ValueError as error:
            raise ValueError(f"variable {error}") from None
        if unit is not None:
            units[field] = unit
        elif field in _units.DIMENSIONAL_FIELDS:
            unitless.append(str(variable.name))
    if unitless:
        warnings.warn(f"no units attribute on the variables {', '.join(unitless)}: "
                      "taken in the model's units (cm, annual amounts in cm/a, alpha in "
                      "1/cm)", UserWarning, stacklevel=3)
    return units


def balance_dataset(ds: "xarray.Dataset", threads: Optional[int] = None, *,
                    output_units: Optional[str] = None) -> "xarray.Dataset":
    """The water balance of every cell of gridded soils.

    The Dataset's variables carry the names of recharge-table's columns, the
    names of ``recharge.INPUTS``, case aside. Any of them may be a scalar, 1-D
    or a 2-D grid: they are broadcast by dimension name (their coordinates
    must agree). Other variables are ignored, named in one UserWarning. A
    grid's semantics: NaN in a required variable is ``no data``, elsewhere a
    value not given, as in ``recharge.balance``.

    A variable stored with a CF encoding that is still in its attributes
    (``_FillValue`` or ``missing_value``, rioxarray's nodata, ``scale_factor``,
    ``add_offset``, as opened with ``mask_and_scale=False``) is decoded first:
    a fill value is a cell without a value (``no data`` in a required
    variable). A month series may come as one variable ``rain`` or ``etp``
    with a ``month`` dimension of the 6 months April to September. Variables
    whose dimensions broadcast to a grid that none of them has (``y, x``
    against ``lat, lon``) warn.

    Each variable's unit, given in its name as in a table's header (``P
    [mm]``, as ``DataFrame.to_xarray`` keeps it) or as its CF ``units``
    attribute, is read by UDUNITS-2 and its values converted to the model's
    unit (``mm``, ``kg m-2 s-1``, ``m``, ``1/m``, ``%``; see
    ``recharge.balance`` and the README's Units); a name and an attribute
    that disagree are refused. A variable of an amount, a depth or alpha
    without a unit is taken in the model's unit, with one UserWarning that
    names every such variable.

    Chunked (Dask) variables stay lazy: the result computes chunk by chunk,
    one task per chunk of the inputs, on Dask's threads or the workers of a
    ``dask.distributed`` cluster, with the results of the in-memory run.

    Parameters
    ----------
    ds : xarray.Dataset
        The inputs, each in the unit of its ``units`` attribute.
    threads : int, optional
        Threads for each chunk (1 to ``recharge.MAX_THREADS``); by default 1 for a chunked
        Dataset, where Dask runs the chunks in parallel, else the CPUs the
        process may use.
    output_units : str, optional
        The length of Wmax, ETa and R (``"mm"``: ETa in ``mm/year``); by
        default cm.

    Returns
    -------
    xarray.Dataset
        Variables ``Cs``, ``FC``, ``WP``, ``Wmax``, ``qmax``, ``nB``,
        ``h_an``, ``g``, ``ETa``, ``R`` (float64, NaN where the table's cell
        is empty, with ``long_name`` and ``units`` as UDUNITS-2 reads them:
        ``cm/year`` for ETa and R), ``method_code`` and ``status_code``
        (uint8 codes into ``recharge.METHODS`` and ``recharge.STATUSES``,
        with CF ``flag_values`` and ``flag_meanings``;
        written to files as int16), on the inputs' dimensions and
        coordinates. The grid mapping (the ``spatial_ref`` coordinate of
        rioxarray, the CRS) is kept, and each variable's ``grid_mapping``
        names it. Lazy, computing or writing it (``compute``,
        ``to_netcdf``, ``to_zarr``, ``rio.to_raster``) runs the model once
        per chunk, whichever variables are written.

    Raises
    ------
    ValueError
        A required variable missing, or one twice; a unit that its variable
        does not take (naming both and what it takes), a unit in a name that
        its ``units`` attribute contradicts.
    TypeError
        A variable of anything but numbers.

    Examples
    --------
    >>> mm = {"units": "mm"}
    >>> ds = xr.Dataset({"P": ("x", [600.0, np.nan], mm), "ETp": ((), 550, mm),
    ...                  "Ps": ((), 300, mm), "ETps": ((), 400, mm), "Cs": 0.3,
    ...                  "zr": ((), 0.6, {"units": "m"}), "zgw": ((), 2, {"units": "m"}),
    ...                  "class": 1})
    >>> out = balance_dataset(ds)
    >>> out.R.values, out.R.units, [STATUSES[code] for code in out.status_code.values]
    (array([11.20630025,         nan]), 'cm/year', ['ok', 'no data'])
    """
    import xarray as xr

    if not isinstance(ds, xr.Dataset):
        raise TypeError(f"ds: a Dataset is needed, not {type(ds).__name__}"
                        + (": make one of it with to_dataset(name=...)"
                           if isinstance(ds, xr.DataArray) else ""))
    mappings = {var.encoding.get("grid_mapping", var.attrs.get("grid_mapping"))
                for var in ds.data_vars.values()} - {None}
    ds = _months_split(ds)
    names = [name for name in ds.data_vars if name not in mappings]
    fields, _, _ = map_names(names, "dataset", "variable", with_id=False)
    inputs = [ds[names[position]] for position in fields.values()]
    for variable in inputs:
        if variable.dtype.kind not in "fiub":
            raise TypeError(f"variable {variable.name}: numbers are needed, not {variable.dtype}")
    _warn_outer_product(inputs)
    units = _variable_units(fields, inputs)
    inputs = [_decoded(variable) for variable in inputs]
    output_units = _units.output(output_units)
    lazy = any(variable.chunks is not None for variable in inputs)
    if lazy:
        _watch_interrupts()
    outputs = xr.apply_ufunc(
        _balance_block,
        *inputs,
        kwargs={"fields": tuple(fields), "labels": tuple(variable.name for variable in inputs),
                "units": units, "output_units": output_units,
                "threads": 1 if lazy and threads is None else threads},
        output_core_dims=[[]] * len(_OUTPUTS),
        dask="parallelized",
        output_dtypes=[np.float64] * len(_VALUE_COLUMNS) + [np.uint8, np.uint8],
    )
    out = xr.Dataset(dict(zip(_OUTPUTS, outputs)))
    units = _units.result_units(output_units)
    for name in _VALUE_COLUMNS:
        out[name].attrs = {"long_name": _LONG_NAMES[name], "units": units[name]}
    for name, texts in (("method_code", METHODS), ("status_code", STATUSES)):
        out[name].attrs = {"long_name": _LONG_NAMES[name],
                           "flag_values": np.arange(len(texts), dtype=np.uint8),
                           "flag_meanings": _flag_meanings(texts)}
        # Stored as int16, which every format holds as it is: a netCDF-3 file
        # would otherwise compute the codes once more to check a conversion,
        # and with them the model.
        out[name].encoding["dtype"] = "int16"
    mapping = next(iter(mappings), "spatial_ref")
    if mapping in ds.variables:
        out = out.assign_coords({mapping: ds[mapping].variable})
        for name in _OUTPUTS:
            out[name].attrs["grid_mapping"] = mapping
    return out
