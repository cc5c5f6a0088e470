"""recharge.plot: the curves are the solver's and the closed forms, maps centre on 0,
codes are categories by their texts, cells without a value are grey."""

import subprocess
import sys
import types

import matplotlib
import numpy as np
import pytest
import xarray as xr

matplotlib.use("Agg")

import matplotlib.pyplot as plt  # noqa: E402

import recharge  # noqa: E402
from recharge import plot  # noqa: E402


@pytest.fixture(autouse=True)
def close_figures():
    yield
    plt.close("all")


def lines_by_label(ax):
    return {line.get_label(): line for line in ax.lines}


def test_importing_recharge_does_not_import_matplotlib():
    code = "import sys, recharge, recharge.plot; sys.exit('matplotlib' in sys.modules)"
    assert subprocess.run([sys.executable, "-c", code]).returncode == 0


def test_curves_are_the_solvers_values_and_the_closed_forms():
    lines = lines_by_label(plot.bagrov_curves((1, 2, 3.5)))
    x = lines["nB = 1"].get_xdata()
    assert x[0] == 0.0 and x[-1] == 3.0 and len(x) > 100
    etp = plot.CURVE_ETP
    for nB in (1, 2, 3.5):
        np.testing.assert_array_equal(lines[f"nB = {nB:g}"].get_ydata(),
                                      recharge.solve_bagrov(nB, x * etp, etp) / etp)
    closed = {1: -np.expm1(-x), 2: np.tanh(x)}
    for nB, eta in closed.items():
        (line,) = [line for label, line in lines.items() if label.startswith(f"nB = {nB} closed")]
        np.testing.assert_array_equal(line.get_xdata(), x)
        np.testing.assert_allclose(line.get_ydata(), eta, rtol=1e-15)
        # Below the shortcut at P = 2 ETp the solver meets the closed form.
        newton = x < 2.0
        np.testing.assert_allclose(lines[f"nB = {nB}"].get_ydata()[newton], eta[newton], atol=1e-5)
    assert len(lines) == 5  # no closed form for 3.5


def grid(values, units=None):
    y, x = np.indices(values.shape)
    attrs = {} if units is None else {"units": units}
    return xr.Dataset({"R": (("y", "x"), values, attrs)},
                      coords={"x": x[0] * 25.0, "y": y[:, 0] * 25.0})


# Under ETp 55, the dry site at the top left on groundwater 1 cm below its
# roots takes 55 cm (g >= 1) from 40 cm of rain: recharge -15; the others
# take the Bagrov path and recharge.
SITES = dict(P=np.array([[40.0, 80.0], [60.0, 45.0]]), zgw=np.array([[61.0, 200.0], [200, 300]]),
             ETp=55.0, Ps=30.0, ETps=40.0, zr=60.0, Cs=0.3)
# The same with the bottom right site without rain (no data, no method) and
# the top right one without ETp (a fault): three statuses and the three methods.
MIXED = dict(SITES, P=np.array([[40.0, 80.0], [60.0, np.nan]]),
             ETp=np.array([[55.0, 0.0], [55.0, 55.0]]))


def sites_dataset(sites):
    return xr.Dataset({name: (("y", "x"), np.broadcast_to(value, (2, 2)))
                       for name, value in sites.items()}).assign({"class": 1})


@pytest.mark.parametrize("source, limit, label", [
    (grid(np.array([[12.5, -3.0], [0.5, np.nan]]), "cm/a"), 12.5, "R (cm/a)"),
    (grid(np.array([[-40.0, -1.0, -2.0]]), "mm/a")["R"], 40.0, "R (mm/a)"),
    (grid(np.array([[-4.0], [1.0]]), "mm/a").expand_dims(band=[1]), 4.0, "R (mm/a)"),
    (types.SimpleNamespace(R=np.zeros((2, 2))), 1.0, None),
])
def test_map_colour_scale_is_centred_on_zero(source, limit, label):
    ax = plot.recharge_map(source)
    (mesh,) = ax.collections
    assert (mesh.norm.vmin, mesh.norm.vmax) == (-limit, limit)
    assert mesh.norm(0.0) == 0.5
    if label:
        assert mesh.colorbar.ax.get_ylabel() == label


def test_map_of_a_result_is_the_map_of_its_dataset():
    result = recharge.balance(soil_class=1, **SITES)
    assert result.R[0, 0] == -15.0 and result.R.max() > 0
    maps = [plot.recharge_map(result),
            plot.recharge_map(recharge.balance_dataset(sites_dataset(SITES)))]
    for ax in maps:
        (mesh,) = ax.collections
        np.testing.assert_array_equal(mesh.get_array().reshape(2, 2), result.R)
        assert mesh.norm.vmax == -mesh.norm.vmin == np.abs(result.R).max()
    labels = [ax.collections[0].colorbar.ax.get_ylabel() for ax in maps]
    assert labels == ["R (cm/year)", "R (cm/year)"]


def drawn_colours(ax, shape):
    mesh = ax.collections[0]
    return mesh.to_rgba(mesh.get_array()).reshape(shape + (4,))


@pytest.mark.parametrize("var, texts", [
    ("status_code", ["ok", "no data", "M6103 floating-point error: divide by zero"]),
    ("method_code", ["bagrov", "hydropedotransfer", "none"]),
])
def test_codes_are_categories_with_their_texts(var, texts):
    result = recharge.balance(soil_class=1, **MIXED)
    codes = getattr(result, var)
    present = np.unique(codes).tolist()
    for source in (result, recharge.balance_dataset(sites_dataset(MIXED))):
        with np.errstate(all="raise"):  # no arithmetic on the uint8 codes
            ax = plot.recharge_map(source, var)
            ax.figure.canvas.draw()
        legend = ax.get_legend()
        assert legend.get_title().get_text() == var
        assert [text.get_text() for text in legend.get_texts()] == texts
        colours = [patch.get_facecolor() for patch in legend.get_patches()]
        assert len(set(colours)) == len(texts)
        drawn = drawn_colours(ax, codes.shape)
        for cell, code in np.ndenumerate(codes):
            np.testing.assert_array_equal(drawn[cell], colours[present.index(code)])


@pytest.mark.parametrize("values, var", [
    (np.array([[0.0, np.nan], [2.0, -1.0]]), "R"),
    (np.full((2, 2), np.nan), "R"),
    (np.array([[0.0, np.nan], [2.0, 0.0]]), "status_code"),  # as read masked from a raster
])
def test_cells_without_a_value_are_grey(values, var):
    with np.errstate(all="raise"):
        ax = plot.recharge_map(grid(values).rename(R=var), var)
        ax.figure.canvas.draw()
    drawn = drawn_colours(ax, values.shape)
    grey = drawn[np.isnan(values)]
    assert (grey[:, :3] == grey[:, :1]).all() and (grey[:, :3] < 0.8).all()  # not white
    assert (grey[:, 3] == 1.0).all()  # nor blank
    assert not any(np.array_equal(colour, grey[0]) for colour in drawn[~np.isnan(values)])


@pytest.mark.parametrize("source, message", [
    (types.SimpleNamespace(R=np.ones(3)), "needs 2"),
    (types.SimpleNamespace(status_code=np.array([[0, 200]], np.uint8)), r"\[200\] without a text"),
])
def test_map_refuses(source, message):
    with pytest.raises(ValueError, match=message):
        plot.recharge_map(source, *vars(source))
