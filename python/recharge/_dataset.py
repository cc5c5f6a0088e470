"""recharge.balance_dataset: gridded soils in an xarray Dataset, lazy or not."""

import warnings

import numpy as np

from . import _units
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


def _balance_block(*blocks, fields, labels, scales, output, threads):
    """The model on one chunk: numpy blocks of the fields, broadcastable."""
    values = {field: (f"variable {label}", block)
              for field, label, block in zip(fields, labels, blocks)}
    result = _run(values, no_data=True, threads=threads, scales=scales, output=output)
    return tuple(getattr(result, name) for name in _OUTPUTS)


def _variable_scales(fields, inputs):
    """{field: (shift, factor)} from each variable's CF ``units`` attribute;
    one UserWarning names the variables of a dimensional field without one."""
    scales, unitless = {}, []
    for field, variable in zip(fields, inputs):
        unit = variable.attrs.get("units")
        if unit is not None:
            scales[field] = _units.scale(field, unit, f"variable {variable.name}")
        elif field in _units.DIMENSIONAL_FIELDS:
            unitless.append(str(variable.name))
    if unitless:
        warnings.warn(f"no units attribute on the variables {', '.join(unitless)}: "
                      "taken in the model's units (cm, annual amounts in cm/a, alpha in "
                      "1/cm)", UserWarning, stacklevel=3)
    return scales


def balance_dataset(ds, threads=None, *, output_units=None):
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

    Each variable's CF ``units`` attribute is read by UDUNITS-2 and its
    values converted to the model's unit (``mm``, ``kg m-2 s-1``, ``m``,
    ``1/m``, ``%``; see ``recharge.balance`` and the README's Units); a
    variable of an amount, a depth or alpha without the attribute is taken in
    the model's unit, with one UserWarning that names every such variable.

    Chunked (Dask) variables stay lazy: the result computes chunk by chunk,
    one task per chunk of the inputs, on Dask's threads or the workers of a
    ``dask.distributed`` cluster, with the results of the in-memory run.

    Parameters
    ----------
    ds : xarray.Dataset
        The inputs, each in the unit of its ``units`` attribute.
    threads : int, optional
        Threads for each chunk (1 to 256); by default 1 for a chunked
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
        ``cm/year`` for ETa and R), ``method`` and
        ``status`` (uint8 codes into ``recharge.METHODS`` and
        ``recharge.STATUSES``, with CF ``flag_values`` and ``flag_meanings``),
        on the inputs' dimensions and coordinates. The grid mapping (the
        ``spatial_ref`` coordinate of rioxarray, the CRS) is kept, and each
        variable's ``grid_mapping`` names it.

    Raises
    ------
    ValueError
        A required variable missing, or one twice; a ``units`` attribute that
        its variable does not take (naming both and what it takes).
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
    >>> out.R.values, out.R.units, [STATUSES[code] for code in out.status.values]
    (array([11.20630025,         nan]), 'cm/year', ['ok', 'no data'])
    """
    import xarray as xr

    mappings = {var.encoding.get("grid_mapping", var.attrs.get("grid_mapping"))
                for var in ds.data_vars.values()} - {None}
    names = [name for name in ds.data_vars if name not in mappings]
    fields, _, _ = map_names(names, "dataset", "variable", with_id=False)
    inputs = [ds[names[position]] for position in fields.values()]
    for variable in inputs:
        if variable.dtype.kind not in "fiub":
            raise TypeError(f"variable {variable.name}: numbers are needed, not {variable.dtype}")
    scales = _variable_scales(fields, inputs)
    output = _units.output(output_units)
    lazy = any(variable.chunks is not None for variable in inputs)
    outputs = xr.apply_ufunc(
        _balance_block,
        *inputs,
        kwargs={"fields": tuple(fields), "labels": tuple(variable.name for variable in inputs),
                "scales": scales, "output": output,
                "threads": 1 if lazy and threads is None else threads},
        output_core_dims=[[]] * len(_OUTPUTS),
        dask="parallelized",
        output_dtypes=[np.float64] * len(_VALUE_COLUMNS) + [np.uint8, np.uint8],
    )
    out = xr.Dataset(dict(zip(_OUTPUTS, outputs)))
    units = _units.result_units(output[0])
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
