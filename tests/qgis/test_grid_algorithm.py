"""recharge:grid against recharge.balance on the same values: the random
soils of every status of the package's tests laid out as a 50 x 60 grid, one
GeoTIFF per input (the table's empty cells written as nodata, which a grid
reads as no data), in strips of 7 rows and chunks of 100 cells on one thread
and in one strip on three; a mask band and a scaled band; what is refused
before any work (a misaligned layer, a missing input, a unit, an output that
cannot be written); cancellation."""

import importlib.util
import pathlib
import threading
import time

import numpy as np
import processing
import pytest
from conftest import EPSG, Feedback, read_raster, write_raster
from osgeo import gdal, osr
from qgis.core import QgsApplication, QgsProcessingContext, QgsProcessingException

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


@pytest.mark.parametrize("strip_cells, chunk_cells, threads",
                         [(7 * 60 + 13, 100, "1"), (1 << 13, 1 << 13, "3")])
def test_every_cell_is_balance_bit_for_bit(qgis, grid, tmp_path, monkeypatch, strip_cells,
                                           chunk_cells, threads):
    from recharge_processing import grid_algorithm
    from recharge_processing.grid_algorithm import output_parameter

    monkeypatch.setattr(grid_algorithm, "STRIP_CELLS", strip_cells)
    monkeypatch.setattr(grid_algorithm, "CHUNK_CELLS", chunk_cells)
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
            assert nodata == 255 and np.array_equal(values, want)
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
    """Numbers for some inputs and units for others, as recharge.balance takes
    them; a unit also by its number in the list (as qgis_process shows it)."""
    soils, layers = grid
    result = processing.run("recharge:grid", {
        "P": layers["P"], "P_unit": "mm/a", "ETp_value": 550, "ETp_unit": 1,
        "Ps": layers["Ps"], "ETps_value": 40, "zr_value": 0.6, "zr_unit": "2", "zgw": layers["zgw"],
        "class_value": 5, "Cs_value": 0.3, "output_units": "mm", "R": str(tmp_path / "R.tif"),
        "ETa": str(tmp_path / "ETa.tif")})
    expected = recharge.balance(soils["P"], 550, soils["Ps"], 40, 0.6, soils["zgw"], 5, Cs=0.3,
                                units={"P": "mm/a", "ETp": "mm/a", "zr": "m"}, output_units="mm")
    values, _ = read_raster(result["R"])
    assert np.array_equal(values, np.where(expected.status_code == 0, expected.R, NODATA))


def test_what_is_wrong_is_said_before_any_work(qgis, grid, tmp_path):
    """P off the grid of the others is named as such, to a hundredth of its
    25 m cells; missing inputs and a unit not offered, before a run."""
    _, layers = grid
    shifted = write_raster(tmp_path / "P.tif", np.full(SHAPE, 60.0), origin=(500005.0, 5800000.0))
    with pytest.raises(QgsProcessingException, match=(
            r"^P: the layer 'P' is not on the grid of ETp \('ETp'\) and 24 other layers: 60 x 50 "
            r"cells of 25 x 25 from \(500005\.00, 5798750\.00\) .* from \(500000\.00, ")):
        processing.run("recharge:grid", {**layers, "P": shifted, "R": str(tmp_path / "R.tif")})
    algorithm = QgsApplication.processingRegistry().createAlgorithmById("recharge:grid")
    assert "required" in algorithm.parameterDefinition("P").description()
    context = QgsProcessingContext()
    assert algorithm.checkParameterValues({"P_value": 60, "zr": layers["zr"]}, context) == (
        False, "a layer or a number is needed for ETp, Ps, ETps, zgw, class")
    assert algorithm.checkParameterValues({**layers, "P_unit": "mm"}, context) == (
        False, "P_unit: 'mm' is not one of cm/a, mm/a, m/a, kg m-2 a-1, mm d-1, kg m-2 s-1 (or "
               "its number, 0 to 5)")
    assert list(tmp_path.iterdir()) == [tmp_path / "P.tif"]


@pytest.mark.parametrize("path, reason", [
    ("no/such/dir/R.tif", "the folder .*/no/such/dir does not exist"),
    ("R.asc", r"the format AAIGrid \(Arc/Info ASCII Grid\) cannot be written strip by strip"),
    ("R.xyz", "the format XYZ .* cannot be written strip by strip"),
    ("R.vrt", "the format VRT .* cannot be written strip by strip"),
    ("R.gpkg", r"the format GPKG \(GeoPackage\) holds no Float64 values"),
    ("R.nosuch", "no raster format is known by the extension 'nosuch'")])
def test_an_output_that_cannot_be_written_is_named_before_any_work(qgis, grid, tmp_path, path,
                                                                   reason):
    _, layers = grid
    with pytest.raises(QgsProcessingException, match=f"^R: {tmp_path / path}: {reason}"):
        processing.run("recharge:grid", {**layers, "status_code": str(tmp_path / "status.tif"),
                                         "R": str(tmp_path / path)})
    assert list(tmp_path.iterdir()) == []


def _band(path, raw, data_type, mask=None, scale=None):
    """A GeoTIFF of ``raw`` on the grid without a nodata value: a per-dataset
    mask (0: no data) or a scale and offset."""
    data = gdal.GetDriverByName("GTiff").Create(str(path), SHAPE[1], SHAPE[0], 1, data_type)
    data.SetGeoTransform((500000.0, 25.0, 0, 5800000.0, 0, -25.0))
    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    data.SetProjection(crs.ExportToWkt())
    band = data.GetRasterBand(1)
    band.WriteArray(raw)
    if mask is not None:
        band.CreateMaskBand(gdal.GMF_PER_DATASET)
        band.GetMaskBand().WriteArray(mask.astype(np.uint8) * 255)
    if scale is not None:
        band.SetScale(scale[0])
        band.SetOffset(scale[1])
    data = None
    return str(path)


def test_a_mask_band_is_no_data_and_a_scale_is_applied_in_float64(qgis, tmp_path):
    """P float32 masked where it is -9999 (no nodata value), ETp int16 in
    0.1 mm/a steps with an offset: balance on the values read in float64."""
    rng = np.random.default_rng(3)
    rain = rng.uniform(50, 90, SHAPE).astype(np.float32)
    mask = rng.random(SHAPE) > 0.1
    rain[~mask] = -9999
    steps = rng.integers(4000, 7000, SHAPE).astype(np.int16)
    result = processing.run("recharge:grid", {
        "P": _band(tmp_path / "P.tif", rain, gdal.GDT_Float32, mask=mask),
        "ETp": _band(tmp_path / "ETp.tif", steps, gdal.GDT_Int16, scale=(0.1, 0.05)),
        "ETp_unit": "mm/a", "Ps_value": 30, "ETps_value": 40, "zr_value": 60, "zgw_value": 200,
        "class_value": 3, "Cs_value": 0.3, "R": str(tmp_path / "R.tif"),
        "status_code": str(tmp_path / "status.tif")})
    expected = recharge.balance(np.where(mask, rain.astype(np.float64), np.nan),
                                steps.astype(np.float64) * 0.1 + 0.05, 30, 40, 60, 200, 3, Cs=0.3,
                                units={"ETp": "mm/a"})
    status, _ = read_raster(result["status_code"])
    assert np.array_equal(status, expected.status_code) and (status == 2).sum() == (~mask).sum()
    values, _ = read_raster(result["R"])
    assert np.array_equal(values, np.where(mask, expected.R, NODATA))


def test_a_cancelled_run_stops_within_a_second_and_leaves_nothing(qgis, tmp_path):
    """A million cells on the Bagrov path take half a minute: cancelled after
    0.3 s, the run ends within a second of it, says so and removes its rasters,
    status.tif too, which a run before had left."""
    rain = write_raster(tmp_path / "P.tif", np.full((1000, 1000), 60.0))
    write_raster(tmp_path / "status.tif", np.zeros((1000, 1000)))
    feedback = Feedback()
    threading.Timer(0.3, feedback.cancel).start()
    with pytest.raises(QgsProcessingException, match="cancelled"):
        processing.run("recharge:grid", {
            "P": rain, "ETp_value": 55, "Ps_value": 30, "ETps_value": 40, "zr_value": 60,
            "zgw_value": 200, "class_value": 1, "Cs_value": 0.3, "R": str(tmp_path / "R.tif"),
            "status_code": str(tmp_path / "status.tif")}, feedback=feedback)
    assert feedback.isCanceled() and time.monotonic() - feedback.canceled_at < 1.0
    assert feedback.progress() < 10
    assert list(tmp_path.iterdir()) == [tmp_path / "P.tif"]
