"""recharge.balance_dataset: gridded soils in an xarray Dataset, lazy or not."""

import numpy as np

from . import _core
from ._balance import METHODS, STATUSES, _VALUE_COLUMNS, _run
from ._columns import map_names

# The output variables, in the order the block function returns them.
_OUTPUTS = _VALUE_COLUMNS + ("method", "status")

_LONG_NAMES = {
    "Cs": "coefficient of simultaneity",
    "FC": "field capacity",
    "WP": "wilting point",
    "Wmax": "maximum plant-available water storage of the root zone",
    "qmax": "maximum capillary rise rate",
    "nB": "Bagrov coefficient",
    "h_an": "suction head at an air content of 0.05",
    "g": "share of the summer potential evapotranspiration evaporated",
    "ETa": "long-term average annual actual evapotranspiration",
    "R": "long-term average annual groundwater recharge",
    "method": "water balance method",
    "status": "status of the computation",
}


def _flag_meanings(texts):
    """CF flag_meanings: one word for each text, "M6201 pow: DOMAIN error" ->
    "M6201_pow_DOMAIN_error", "" -> "none"."""
    return " ".join(text.replace(":", "").replace(" ", "_") or "none" for text in texts)


def _balance_block(*blocks, fields, labels, threads):
    """The model on one chunk: numpy blocks of the fields, broadcastable."""
    values = {field: (f"variable {label}", block)
              for field, label, block in zip(fields, labels, blocks)}
    result = _run(values, no_data=True, threads=threads)
    return tuple(getattr(result, name) for name in _OUTPUTS)


def balance_dataset(ds, threads=None):
    """The water balance of every cell of gridded soils.

    The Dataset's variables carry the names of recharge-table's columns, case
    aside: ``P``, ``ETp``, ``Ps``, ``ETps``, ``zr``, ``zgw``, ``class``
    (required), ``Cs``, the months as the twelve variables ``rain4`` ...
    ``rain9`` and ``etp4`` ... ``etp9``, ``theta_r``, ``theta_s``, ``alpha``,
    ``n``, ``p1``, ``p2``, ``anaerobiosis``. Any of them may be a scalar, 1-D
    or a 2-D grid: they are broadcast by dimension name (their coordinates
    must agree). Other variables are ignored, named in one UserWarning. A
    grid's semantics: NaN in a required variable is ``no data``, elsewhere a
    value not given, as in ``recharge.balance``.

    Chunked (Dask) variables stay lazy: the result computes chunk by chunk,
    one task per chunk of the inputs, on Dask's threads or the workers of a
    ``dask.distributed`` cluster, with the results of the in-memory run.

    Parameters
    ----------
    ds : xarray.Dataset
        The inputs, amounts in cm (annual ones in cm/a).
    threads : int, optional
        Threads for each chunk (1 to 256); by default 1 for a chunked
        Dataset, where Dask runs the chunks in parallel, else the CPUs the
        process may use.

    Returns
    -------
    xarray.Dataset
        Variables ``Cs``, ``FC``, ``WP``, ``Wmax``, ``qmax``, ``nB``,
        ``h_an``, ``g``, ``ETa``, ``R`` (float64, NaN where the table's cell
        is empty, with ``units`` and ``long_name``), ``method`` and
        ``status`` (uint8 codes into ``recharge.METHODS`` and
        ``recharge.STATUSES``, with CF ``flag_values`` and ``flag_meanings``),
        on the inputs' dimensions and coordinates. The grid mapping (the
        ``spatial_ref`` coordinate of rioxarray, the CRS) is kept, and each
        variable's ``grid_mapping`` names it.

    Raises
    ------
    ValueError
        A required variable missing, or one twice.
    TypeError
        A variable of anything but numbers.

    Examples
    --------
    >>> ds = xr.Dataset({"P": ("x", [60.0, np.nan]), "ETp": 55, "Ps": 30,
    ...                  "ETps": 40, "Cs": 0.3, "zr": 60, "zgw": 200, "class": 1})
    >>> out = balance_dataset(ds)
    >>> out.R.values, [STATUSES[code] for code in out.status.values]
    (array([11.20630025,         nan]), ['ok', 'no data'])
    """
    import xarray as xr

    mappings = {var.encoding.get("grid_mapping", var.attrs.get("grid_mapping"))
                for var in ds.data_vars.values()} - {None}
    names = [name for name in ds.data_vars if name not in mappings]
    fields, _ = map_names(names, "dataset", "variable", with_id=False)
    inputs = [ds[names[position]] for position in fields.values()]
    for variable in inputs:
        if variable.dtype.kind not in "fiub":
            raise TypeError(f"variable {variable.name}: numbers are needed, not {variable.dtype}")
    lazy = any(variable.chunks is not None for variable in inputs)
    outputs = xr.apply_ufunc(
        _balance_block,
        *inputs,
        kwargs={"fields": tuple(fields), "labels": tuple(variable.name for variable in inputs),
                "threads": 1 if lazy and threads is None else threads},
        output_core_dims=[[]] * len(_OUTPUTS),
        dask="parallelized",
        output_dtypes=[np.float64] * len(_VALUE_COLUMNS) + [np.uint8, np.uint8],
    )
    out = xr.Dataset(dict(zip(_OUTPUTS, outputs)))
    units = dict(_core.RESULT_COLUMNS)
    for name in _VALUE_COLUMNS:
        out[name].attrs = {"long_name": _LONG_NAMES[name], "units": units[name]}
    for name, texts in (("method", METHODS), ("status", STATUSES)):
        out[name].attrs = {"long_name": _LONG_NAMES[name],
                           "flag_values": np.arange(len(texts), dtype=np.uint8),
                           "flag_meanings": _flag_meanings(texts)}
    mapping = next(iter(mappings), "spatial_ref")
    if mapping in ds.variables:
        out = out.assign_coords({mapping: ds[mapping].variable})
        for name in _OUTPUTS:
            out[name].attrs["grid_mapping"] = mapping
    return out
