"""Pictures of the model: the Bagrov relation and maps of a grid's results.

matplotlib is imported only when a picture is drawn, so ``import recharge``
does not need it.

Example::

    import recharge, recharge.plot
    ax = recharge.plot.bagrov_curves()
    ax.figure.savefig("bagrov.png")

    grid = recharge.balance_dataset(ds)      # ds with x/y coordinates
    recharge.plot.recharge_map(grid, "R")    # blue: recharge, red: uptake
    recharge.plot.recharge_map(grid, "status_code")  # a colour for each status
"""

import numpy as np

from ._balance import METHODS, STATUSES
from ._units import result_units

# ETp of the curves, cm/a. The relation depends on P/ETp alone, but the
# solver's tolerance is 0.0001 cm on P: a typical site's ETp puts it where
# the model meets it.
CURVE_ETP = 50.0


def _axes(ax):
    """``ax``, or the Axes of a new 800 x 500 pixel figure when it is None."""
    if ax is not None:
        return ax
    import matplotlib.pyplot as plt

    return plt.figure(figsize=(8, 5), dpi=100, layout="constrained").add_subplot()


def bagrov_curves(nB=(1, 2, 3, 5, 10), ax=None):
    """Draw the Bagrov relation ETa/ETp against P/ETp from 0 to 3.

    Each curve is the model's own solver, ``recharge.solve_bagrov``, on 601
    points of P/ETp with ETp = ``CURVE_ETP`` (50 cm/a): it shows the
    shortcut ETa = 0.998 ETp for P >= 2 ETp and nB >= 9.5, and gaps where
    the iteration does not converge. The closed solutions for nB = 1,
    ETa/ETp = 1 - exp(-P/ETp), and nB = 2, ETa/ETp = tanh(P/ETp), are drawn
    dashed over the curves of those coefficients when they are in ``nB``.

    Parameters
    ----------
    nB : sequence of float
        Bagrov coefficients (dimensionless), one solid line each, labelled
        ``nB = 3``.
    ax : matplotlib.axes.Axes, optional
        Axes to draw into; a new 800 x 500 pixel figure when omitted.

    Returns
    -------
    matplotlib.axes.Axes
        The Axes drawn into. Its lines' x data are P/ETp, y data ETa/ETp
        (both dimensionless); the closed forms are labelled
        ``nB = 1 closed form ...`` and ``nB = 2 closed form ...``.

    Examples
    --------
    >>> ax = bagrov_curves((1, 2))
    >>> ax.lines[1].get_ydata()[300]  # solver, nB = 2, P/ETp = 1.5
    0.905...
    """
    from . import solve_bagrov

    ax = _axes(ax)
    ratio = np.linspace(0.0, 3.0, 601)
    for coefficient in nB:
        eta = solve_bagrov(coefficient, ratio * CURVE_ETP, CURVE_ETP) / CURVE_ETP
        ax.plot(ratio, eta, label=f"nB = {coefficient:g}")
    closed_forms = {
        1: ("1 − exp(−P/ETp)", -np.expm1(-ratio)),
        2: ("tanh(P/ETp)", np.tanh(ratio)),
    }
    for coefficient, (formula, eta) in closed_forms.items():
        if coefficient in nB:
            ax.plot(ratio, eta, "k--", linewidth=1,
                    label=f"nB = {coefficient} closed form {formula}")
    ax.set_xlim(0.0, 3.0)
    ax.set_ylim(0.0, 1.05)
    ax.set_xlabel("P / ETp, precipitation over potential evapotranspiration")
    ax.set_ylabel("ETa / ETp, actual over potential evapotranspiration")
    ax.set_title(f"Bagrov relation from the model's solver (ETp = {CURVE_ETP:g} cm/a)")
    ax.grid(alpha=0.3)
    ax.legend(loc="lower right")
    return ax


#: Colour of the cells without a value (NaN) on every map: a mid grey, apart
#: from the colours of codes and from white, which is 0 on the diverging scale.
NO_VALUE_COLOUR = "0.6"

#: The variables of codes, drawn as categories, and the texts of their codes.
CATEGORIES = {"status_code": STATUSES, "method_code": METHODS}


def _grid(result_or_dataset, var):
    """The 2-D values of ``var`` as float64, its x and y coordinates, unit and name."""
    if hasattr(result_or_dataset, "data_vars"):  # xarray.Dataset
        result_or_dataset = result_or_dataset[var]
    if hasattr(result_or_dataset, "dims"):  # xarray.DataArray
        grid = result_or_dataset
        if "band" in grid.dims:  # a single band read from a raster file
            grid = grid.squeeze("band", drop=True)
        grid = grid.transpose("y", "x")
        values, x, y = grid.values, grid["x"].values, grid["y"].values
        var, units = grid.name or var, grid.attrs.get("units")
    else:
        values = np.asarray(getattr(result_or_dataset, var))
        if values.ndim != 2:
            raise ValueError(f"{var} has {values.ndim} dimensions; a map needs 2")
        x, y = np.arange(values.shape[1]), np.arange(values.shape[0])
        units = getattr(result_or_dataset, "units", {}).get(var)
    if units is None:
        units = result_units("cm").get(var, "")
    return np.asarray(values, dtype=np.float64), x, y, units, var


def _category_colours(count):
    """``count`` colours, one a code: tab10's without its grey, then tab20's
    light ones without theirs, repeated when there are more codes."""
    from matplotlib import colormaps

    palette = [colour for colour in colormaps["tab10"].colors + colormaps["tab20"].colors[1::2]
               if len(set(colour)) > 1]
    return [palette[code % len(palette)] for code in range(count)]


def _draw_categories(ax, x, y, codes, name):
    """Draws the codes of ``name`` (float, NaN for none) in a colour each, with
    a legend of the codes present and their texts."""
    from matplotlib.colors import BoundaryNorm, ListedColormap
    from matplotlib.patches import Patch

    texts = CATEGORIES[name]
    present = np.unique(codes[~np.isnan(codes)]).astype(int)
    unknown = present[present >= len(texts)]
    if unknown.size:
        raise ValueError(f"{name} has codes {unknown.tolist()} without a text")
    cmap = ListedColormap(_category_colours(len(texts))).with_extremes(bad=NO_VALUE_COLOUR)
    norm = BoundaryNorm(np.arange(len(texts) + 1) - 0.5, len(texts))
    mesh = ax.pcolormesh(x, y, codes, cmap=cmap, norm=norm, shading="auto")
    handles = [Patch(color=mesh.to_rgba(code), label=texts[code] or "none")
               for code in present]
    ax.legend(handles=handles, title=name, loc="upper left", bbox_to_anchor=(1.02, 1.0))


def recharge_map(result_or_dataset, var="R", ax=None):
    """Draw one variable of a grid of sites: values on a colour scale centred
    on 0, the codes ``status_code`` and ``method_code`` as categories.

    Negative recharge is a result (the site draws on the groundwater), so the
    scale is diverging with symmetric limits -m ... m, m the largest absolute
    value: blue above 0, red below, white at 0. ``status_code`` and
    ``method_code`` (codes into ``recharge.STATUSES`` and ``recharge.METHODS``) are drawn in
    a colour for each code, the same on every map, with a legend of the
    codes present by their texts (``ok``, ``no data``, ``M6201 pow: DOMAIN
    error``; ``none`` for the method not reached). Cells without a value
    (NaN, as every value of a cell with status ``no data``) are grey,
    ``NO_VALUE_COLOUR``, on both kinds of map.

    Parameters
    ----------
    result_or_dataset : xarray.Dataset, xarray.DataArray or Result
        A Dataset (``var`` is taken from it) or DataArray with dimensions and
        coordinates ``x`` and ``y``, as ``recharge.balance_dataset`` gives,
        and optionally a ``band`` dimension of length 1, as a raster file
        read by rioxarray has; or a ``recharge.Result`` whose arrays are 2-D
        (rows drawn as y, columns as x, by index).
    var : str
        Variable to draw, by default the recharge R in cm/a; a DataArray
        with a name draws under that name.
    ax : matplotlib.axes.Axes, optional
        Axes to draw into; a new 800 x 500 pixel figure when omitted.

    Returns
    -------
    matplotlib.axes.Axes
        The Axes drawn into. A map of values has a colour bar labelled with
        the variable and its unit: a Result's, the ``units`` attribute, or
        for a variable without one the model's unit of that result:
        ``R (cm/year)``. A map of codes has a legend titled with the
        variable.

    Raises
    ------
    ValueError
        The grid is not 2-D, or ``status_code`` or ``method_code`` has a
        code without a text.

    Examples
    --------
    >>> r = recharge.balance([[60.0, np.nan]], 55, 30, 40, 60, 200, 1, Cs=0.3)
    >>> norm = recharge_map(r).collections[0].norm  # R 11.2 cm/a and NaN, grey
    >>> float(norm.vmin), float(norm.vmax)
    (-11.206..., 11.206...)
    >>> ax = recharge_map(r, "status_code")
    >>> [text.get_text() for text in ax.get_legend().get_texts()]
    ['ok', 'no data']
    """
    from matplotlib import colormaps

    values, x, y, units, name = _grid(result_or_dataset, var)
    ax = _axes(ax)
    if name in CATEGORIES:
        _draw_categories(ax, x, y, values, name)
    else:
        limit = np.nanmax(np.abs(values), initial=0.0) or 1.0
        cmap = colormaps["RdBu"].with_extremes(bad=NO_VALUE_COLOUR)
        mesh = ax.pcolormesh(x, y, values, cmap=cmap, vmin=-limit, vmax=limit,
                             shading="auto")
        ax.figure.colorbar(mesh, ax=ax, label=f"{name} ({units})" if units else name)
    ax.set_xlabel("x")
    ax.set_ylabel("y")
    ax.set_aspect("equal")
    return ax
