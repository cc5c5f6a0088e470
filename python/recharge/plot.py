"""Pictures of the model: the Bagrov relation and maps of a grid's results.

matplotlib is imported only when a picture is drawn, so ``import recharge``
does not need it.

Example::

    import recharge, recharge.plot
    ax = recharge.plot.bagrov_curves()
    ax.figure.savefig("bagrov.png")

    grid = recharge.balance_dataset(ds)      # ds with x/y coordinates
    recharge.plot.recharge_map(grid, "R")    # blue: recharge, red: uptake
"""

import numpy as np

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


def _grid(result_or_dataset, var):
    """The 2-D values of ``var``, its x and y coordinates, unit and name."""
    if hasattr(result_or_dataset, "data_vars"):  # xarray.Dataset
        result_or_dataset = result_or_dataset[var]
    if hasattr(result_or_dataset, "dims"):  # xarray.DataArray
        grid = result_or_dataset.transpose("y", "x")
        values, x, y = grid.values, grid["x"].values, grid["y"].values
        var, units = grid.name or var, grid.attrs.get("units")
    else:
        values = np.asarray(getattr(result_or_dataset, var), dtype=float)
        if values.ndim != 2:
            raise ValueError(f"{var} has {values.ndim} dimensions; a map needs 2")
        x, y = np.arange(values.shape[1]), np.arange(values.shape[0])
        units = getattr(result_or_dataset, "units", {}).get(var)
    if units is None:
        units = result_units("cm").get(var, "")
    return values, x, y, units, var


def recharge_map(result_or_dataset, var="R", ax=None):
    """Draw one variable of a grid of sites with a colour scale centred on 0.

    Negative recharge is a result (the site draws on the groundwater), so the
    scale is diverging with symmetric limits -m ... m, m the largest absolute
    value: blue above 0, red below, white at 0. Cells without a value (NaN)
    are left blank.

    Parameters
    ----------
    result_or_dataset : xarray.Dataset, xarray.DataArray or Result
        A Dataset (``var`` is taken from it) or DataArray with dimensions and
        coordinates ``x`` and ``y``, as ``recharge.balance_dataset`` gives;
        or a ``recharge.Result`` whose arrays are 2-D (rows drawn as y,
        columns as x, by index).
    var : str
        Variable to draw, by default the recharge R in cm/a.
    ax : matplotlib.axes.Axes, optional
        Axes to draw into; a new 800 x 500 pixel figure when omitted.

    Returns
    -------
    matplotlib.axes.Axes
        The Axes drawn into. Its colour bar is labelled with the variable and
        its unit: a Result's, the ``units`` attribute, or for a variable
        without one the model's unit of that result: ``R (cm/year)``.

    Examples
    --------
    >>> ax = recharge_map(recharge.balance_dataset(ds))
    >>> ax.collections[0].norm.vmin == -ax.collections[0].norm.vmax
    True
    """
    values, x, y, units, name = _grid(result_or_dataset, var)
    ax = _axes(ax)
    limit = np.nanmax(np.abs(values), initial=0.0) or 1.0
    mesh = ax.pcolormesh(x, y, values, cmap="RdBu", vmin=-limit, vmax=limit,
                         shading="auto")
    ax.figure.colorbar(mesh, ax=ax, label=f"{name} ({units})" if units else name)
    ax.set_xlabel("x")
    ax.set_ylabel("y")
    ax.set_aspect("equal")
    return ax
