"""The README's QGIS examples run as written: the qgis_process.bin command
lines on the GeoTIFF files of examples/regional_recharge.py, with the plugin
unzipped from the build's recharge_processing.zip and the log the README
shows, and the Python console's run on a soil map of the same region."""

import os
import pathlib
import re
import shlex
import subprocess
import sys
import zipfile

import processing
import pytest
from conftest import EPSG
from osgeo import ogr, osr
from qgis.core import QgsVectorLayer

import recharge
import recharge_processing

ROOT = pathlib.Path(__file__).resolve().parents[2]
SECTION = (ROOT / "README.md").read_text().split("\n## QGIS\n", 1)[1].split("\n## ", 1)[0]
BLOCKS = re.findall(r"```(\w*)\n(.*?)```", SECTION, re.S)


@pytest.fixture
def region(tmp_path, monkeypatch):
    """A folder with region/*.tif and soils.gpkg: three squares of the region,
    P in the field rain_total (cm/a), zgw in m."""
    pytest.importorskip("rioxarray")
    sys.path.insert(0, str(ROOT / "examples"))
    try:
        import regional_recharge
    finally:
        sys.path.pop(0)
    (tmp_path / "region").mkdir()
    regional_recharge.write_inputs(regional_recharge.synthetic_region(), tmp_path / "region")
    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    data = ogr.GetDriverByName("GPKG").CreateDataSource(str(tmp_path / "soils.gpkg"))
    layer = data.CreateLayer("soils", crs, ogr.wkbPolygon)
    fields = ["rain_total", "Ps", "ETps", "Cs", "zr", "zgw", "class"]
    for name in fields:
        layer.CreateField(ogr.FieldDefn(name, ogr.OFTReal))
    for x, values in [(482000, [90, 50, 40, 0.3, 60, 2, 1]), (488000, [70, 40, 42, 0.3, 60, 5, 24]),
                      (494000, [50, 28, 45, 0.2, 80, 0.8, 12])]:
        feature = ogr.Feature(layer.GetLayerDefn())
        for name, value in zip(fields, values):
            feature.SetField(name, value)
        feature.SetGeometry(ogr.CreateGeometryFromWkt(
            f"POLYGON(({x} 5750000,{x + 500} 5750000,{x + 500} 5750500,{x} 5750500,"
            f"{x} 5750000))"))
        layer.CreateFeature(feature)
    data = None
    monkeypatch.chdir(tmp_path)
    return tmp_path


def test_qgis_process_lines_log_what_the_readme_shows(region):
    (_, commands), (_, log) = [block for block in BLOCKS if block[0] in ("sh", "")][:2]
    plugins = region / "plugins"
    zipfile.ZipFile(pathlib.Path(recharge_processing.__file__).parents[2] /
                    "recharge_processing.zip").extractall(plugins)
    environment = dict(
        os.environ, HOME=str(region), QT_QPA_PLATFORM="offscreen", QGIS_PLUGINPATH=str(plugins),
        PYTHONPATH=str(pathlib.Path(recharge.__file__).parents[1]))
    for line in commands.splitlines():
        if line.startswith("qgis_process.bin"):
            run = subprocess.run(shlex.split(line), env=environment, capture_output=True,
                                 text=True)
            assert run.returncode == 0, run.stderr
    assert log in run.stdout
    assert (region / "region" / "R.tif").exists()
    assert (region / "region" / "status_code.tif").exists()


def test_python_console_run(qgis, region):
    (code,) = [text for kind, text in BLOCKS if kind == "python"]
    namespace = {"processing": processing}
    exec(code, namespace)
    features = list(QgsVectorLayer(namespace["result"]["OUTPUT"], "out", "ogr").getFeatures())
    assert [f["status"] for f in features] == ["ok"] * 3
    assert all(0 < f["ETa"] < 900 for f in features)
