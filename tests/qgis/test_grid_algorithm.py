"""recharge:grid against recharge.balance on the same values: the random
soils of every status of the package's tests laid out as a 50 x 60 grid, one
GeoTIFF per input (the table's empty cells written as nodata, which a grid
reads as no data), in strips of 7 rows on one thread and in one strip on
three; a misaligned layer; cancellation."""

import importlib.util
import pathlib
import threading
import time

import numpy as np
import processing
import pytest
from conftest import Feedback, read_raster, write_raster
from qgis.core import QgsProcessingException

import recharge

SHAPE = (50, 60)
NODATA = -9999.0


def _package_soils():
    """The package's random soils as a grid's layers: Cs from the months, which
    are all given (6 cm of rain and 9 of ETp where the table's are empty), as
    is anaerobiosis (0); the own parameters empty outside class 0."""
    path = pathlib.Path(__file__).parents[1] / "python" / "conftest.py"
    found = importlib.util.spec_from_file_location("package_soils", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    soils = module._soils(np.random.default_rng(20240611))
    del soils["Cs"]
    for name, fill in [(f"rain{m}", 6.0) for m in range(4, 10)] + [
            (f"etp{m}", 9.0) for m in range(4, 10)] + [("anaerobiosis", 0.0)]:
        soils[name] = np.where(np.isnan(soils[name]), fill, soils[name])
    return {name: values.reshape(SHAPE) for name, values in soils.items()}


@pytest.fixture(scope="module")
def grid(tmp_path_factory):
    """(soils, the algorithm's parameters with a layer for every input)."""
    folder = tmp_path_factory.mktemp("grid")
    soils = _package_soils()
    layers = {name: write_raster(folder / f"{name}.tif", values) for name, values in soils.items()}
    parameters = {name: layers[name] for name in
                  ("P", "ETp", "Ps", "ETps", "zr", "zgw", "class", "theta_r", "theta_s",
                   "alpha", "n", "p1", "p2", "anaerobiosis")}
    for series in ("rain", "etp"):
        parameters[series] = [layers[f"{series}{month}"] for month in range(4, 10)]
    return soils, parameters


def _expected(soils):
    """balance on the grid, P not given where any layer has no data (an own
    parameter's, in a cell of class 0)."""
    own = ("theta_r", "theta_s", "alpha", "n", "p1", "p2")
    missing = np.any([np.isnan(values) & (soils["class"] == 0 if name in own else True)
                      for name, values in soils.items()], axis=0)
    return recharge.balance(
        np.where(missing, np.nan, soils["P"]), soils["ETp"], soils["Ps"], soils["ETps"],
        soils["zr"], soils["zgw"], soils["class"],
        rain=np.stack([soils[f"rain{m}"] for m in range(4, 10)], -1),
        etp=np.stack([soils[f"etp{m}"] for m in range(4, 10)], -1),
        **{name: soils[name] for name in ("theta_r", "theta_s", "alpha", "n", "p1", "p2",
                                          "anaerobiosis")})


@pytest.mark.parametrize("strip_cells, threads", [(7 * 60 + 13, "1"), (1 << 13, "3")])
def test_every_cell_is_balance_bit_for_bit(qgis, grid, tmp_path, monkeypatch, strip_cells,
                                           threads):
    from recharge_processing import grid_algorithm
    from recharge_processing.grid_algorithm import output_parameter

    monkeypatch.setattr(grid_algorithm, "STRIP_CELLS", strip_cells)
    monkeypatch.setenv("OMP_NUM_THREADS", threads)
    soils, parameters = grid
    outputs = [f"{each.name}_code" if each.text else each.name for each in recharge.RESULTS] + [
        "status_code"]
    feedback = Feedback()
    result = processing.run("recharge:grid", {
        **parameters,
        **{output_parameter(name): str(tmp_path / f"{name}.tif") for name in outputs}},
        feedback=feedback)
    expected = _expected(soils)
    statuses = set(expected.status_code.ravel())
    assert {0, 1, 2, 3} < statuses and len(statuses) == 10  # and six kinds of fault
    ok = expected.status_code == 0
    for name in outputs:
        values, nodata = read_raster(result[output_parameter(name)])
        want = getattr(expected, name)
        if name == "status_code":
            assert nodata is None and np.array_equal(values, want)
        elif name == "method_code":
            assert nodata == 2 and np.array_equal(values, np.where(ok, want, 2))
        else:
            want = np.where(ok & ~np.isnan(want), want, NODATA)
            assert nodata == NODATA and np.array_equal(values.view(np.int64),
                                                       want.view(np.int64)), name
    counts = np.bincount(expected.status_code.ravel())
    log = [f"{recharge.STATUSES[code]}: {count} {'cell' if count == 1 else 'cells'}"
           for code, count in enumerate(counts) if count]
    assert feedback.log[:len(log)] == log


def test_numbers_and_units_are_balance_s(qgis, grid, tmp_path):
    """Numbers for some inputs and units for others, as recharge.balance takes them."""
    soils, layers = grid
    result = processing.run("recharge:grid", {
        "P": layers["P"], "P_unit": "mm/a", "ETp_value": 550, "ETp_unit": "mm/a",
        "Ps": layers["Ps"], "ETps_value": 40, "zr_value": 0.6, "zr_unit": "m", "zgw": layers["zgw"],
        "class_value": 5, "Cs_value": 0.3, "output_units": "mm", "R": str(tmp_path / "R.tif"),
        "ETa": str(tmp_path / "ETa.tif")})
    expected = recharge.balance(soils["P"], 550, soils["Ps"], 40, 0.6, soils["zgw"], 5, Cs=0.3,
                                units={"P": "mm/a", "ETp": "mm/a", "zr": "m"}, output_units="mm")
    values, _ = read_raster(result["R"])
    assert np.array_equal(values, np.where(expected.status_code == 0, expected.R, NODATA))


def test_a_layer_off_the_grid_is_refused_before_any_work(qgis, grid, tmp_path):
    _, layers = grid
    shifted = write_raster(tmp_path / "zgw.tif", np.full(SHAPE, 200.0),
                           origin=(500012.5, 5800000.0))
    with pytest.raises(QgsProcessingException, match=r"zgw: the layer 'zgw' is not on the grid "
                                                     r"of P \('P'\): 60 x 50 cells from"):
        processing.run("recharge:grid", {**layers, "zgw": shifted,
                                         "R": str(tmp_path / "R.tif")})
    assert not (tmp_path / "R.tif").exists()


def test_cancel_stops_within_a_second(qgis, tmp_path):
    """A million cells on the Bagrov path take half a minute: cancelled after
    0.3 s, the run ends within a second of it."""
    rain = write_raster(tmp_path / "P.tif", np.full((1000, 1000), 60.0))
    feedback = Feedback()
    threading.Timer(0.3, feedback.cancel).start()
    processing.run("recharge:grid", {
        "P": rain, "ETp_value": 55, "Ps_value": 30, "ETps_value": 40, "zr_value": 60,
        "zgw_value": 200, "class_value": 1, "Cs_value": 0.3, "R": str(tmp_path / "R.tif")},
        feedback=feedback)
    assert feedback.isCanceled() and time.monotonic() - feedback.canceled_at < 1.0
    assert feedback.progress() < 10
