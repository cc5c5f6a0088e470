"""recharge:soilmap against recharge.balance_frame on the same values: six
polygons of a GeoPackage, each on its own cell of an ETp raster (cm/a) and
with the same ETp in mm in the field 'ETp [mm]', P from a field chosen for
it, the others from fields named as the table's columns (case aside): ok on
both paths, an empty P, a fault, a class out of range, no ETp."""

import math

import numpy as np
import pandas as pd
import processing
import pytest
from conftest import EPSG, write_raster
from osgeo import ogr, osr
from qgis.core import NULL, QgsGeometry, QgsProcessingException, QgsVectorLayer

import recharge

ORIGIN, CELL = (500000.0, 5800000.0), 100.0
SOILS = pd.DataFrame({
    "name": ["meadow", "fen edge", "no rain", "dry", "odd class", "off the grid"],
    "rain_total": [60.0, 45.0, None, 60.0, 60.0, 60.0],
    "Ps": 30.0, "ETps": [40.0, 45.0, 40.0, 40.0, 40.0, 40.0], "CS": [0.3, 0.2, 0.3, 0.3, 0.3, 0.3],
    "ZR": 60.0, "zgw": [200.0, 100.0, 200.0, 200.0, 200.0, 200.0],
    "Class": [1, 24, 1, 1, 35, 1], "ETp [mm]": [550.0, 600.0, 550.0, 0.0, 550.0, None]})
ETP = np.array([[55.0, 60.0, 55.0], [0.0, 55.0, np.nan]])  # one cell of it a soil


def _square(index):
    row, column = divmod(index, 3)
    x, y = ORIGIN[0] + column * CELL + 20, ORIGIN[1] - row * CELL - 80
    return f"POLYGON(({x} {y},{x + 60} {y},{x + 60} {y + 60},{x} {y + 60},{x} {y}))"


@pytest.fixture(scope="module")
def soil_map(tmp_path_factory):
    folder = tmp_path_factory.mktemp("soil_map")
    path = str(folder / "soils.gpkg")
    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    data = ogr.GetDriverByName("GPKG").CreateDataSource(path)
    layer = data.CreateLayer("soils", crs, ogr.wkbPolygon)
    for column in SOILS.columns:
        kind = {"name": ogr.OFTString, "Class": ogr.OFTInteger}.get(column, ogr.OFTReal)
        layer.CreateField(ogr.FieldDefn(column, kind))
    for index, soil in SOILS.iterrows():
        feature = ogr.Feature(layer.GetLayerDefn())
        for column, value in soil.items():
            if not (isinstance(value, float) and math.isnan(value)):
                feature.SetField(column, value)
        feature.SetGeometry(ogr.CreateGeometryFromWkt(_square(index)))
        layer.CreateFeature(feature)
    data = None
    return path, write_raster(folder / "etp.tif", ETP, origin=ORIGIN, cell=CELL)


@pytest.mark.parametrize("etp", ["sampled", "chosen", "by name"])
def test_every_feature_is_kept_with_the_frame_s_results(qgis, soil_map, tmp_path, etp):
    """ETp sampled from the raster, or the field 'ETp [mm]' chosen or found by
    its name, its unit taken either way."""
    path, raster = soil_map
    result = processing.run("recharge:soilmap", {
        "INPUT": path, "P": "rain_total", "all_values": True, "OUTPUT": str(tmp_path / "out.gpkg"),
        **{"sampled": {"ETp_layer": raster}, "chosen": {"ETp": "ETp [mm]"}, "by name": {}}[etp]})
    out = QgsVectorLayer(result["OUTPUT"], "out", "ogr")
    features = list(out.getFeatures())
    names = out.fields().names()

    expected = recharge.balance_frame(SOILS.drop(columns="name").rename(
        columns={"rain_total": "P"}))
    assert [f["name"] for f in features] == list(SOILS["name"])
    assert all(f.geometry().equals(QgsGeometry.fromWkt(_square(i)))
               for i, f in enumerate(features))
    added = names[len(SOILS.columns) + 1:]  # Cs is renamed, as the input CS is there
    assert added == ["Cs_2", "FC", "WP", "Wmax", "qmax", "nB", "h_an", "g", "ETa", "R", "method",
                     "status", "status_code"]
    values = ["Cs", "FC", "WP", "Wmax", "qmax", "nB", "h_an", "g", "ETa", "R"]
    for field, name in zip(added, values):
        got = np.array([np.nan if f[field] == NULL else f[field] for f in features])
        assert np.array_equal(got, expected[name].to_numpy(dtype=float), equal_nan=True), name
    assert [f["status"] for f in features] == list(expected["status"]) == [
        "ok", "ok", "input error: P: no value", "M6103 floating-point error: divide by zero",
        "input error: class: 35 is not a soil class (0 to 34)", "input error: ETp: no value"]
    assert [f["status_code"] for f in features] == [0, 0, 3, 5, 3, 3]
    assert [f["method"] for f in features][:2] == ["bagrov", "hydropedotransfer"]
    assert names[:len(SOILS.columns) + 1] == ["fid"] + list(SOILS.columns)
    assert [f.attributes()[1:len(SOILS.columns) + 1] for f in features] == [
        [None if value != value else value for value in row] for row in SOILS.values.tolist()]


def test_units_and_what_is_refused_before_any_output(qgis, soil_map, tmp_path):
    path, _ = soil_map
    result = processing.run("recharge:soilmap", {
        "INPUT": path, "P": "rain_total", "P_unit": "mm/a", "zgw_unit": "m", "output_units": "mm",
        "OUTPUT": str(tmp_path / "out.gpkg")})
    features = list(QgsVectorLayer(result["OUTPUT"], "out", "ogr").getFeatures())
    frame = SOILS.drop(columns="name").rename(columns={"rain_total": "P [mm/a]", "zgw": "zgw [m]"})
    expected = recharge.balance_frame(frame, output_units="mm")
    assert [f["R"] for f in features][:2] == list(expected["R"])[:2]
    for chosen in ({"ETp": "ETp [mm]"}, {}):
        with pytest.raises(QgsProcessingException, match=r"\nETp: the field 'ETp \[mm\]': the "
                                                         r"name gives the unit mm, the unit "
                                                         r"chosen m/a$"):
            processing.run("recharge:soilmap", {"INPUT": path, "P": "rain_total", **chosen,
                                                "ETp_unit": "m/a",
                                                "OUTPUT": str(tmp_path / "x.gpkg")})
    with pytest.raises(QgsProcessingException, match="P: required, and the layer has no field "
                                                     "named P"):
        processing.run("recharge:soilmap", {"INPUT": path, "OUTPUT": str(tmp_path / "x.gpkg")})
    assert not (tmp_path / "x.gpkg").exists()


def test_an_empty_geometry_and_a_shapefile_s_cut_name(qgis, soil_map, tmp_path):
    """A feature MULTIPOLYGON EMPTY has no ETp sampled, the others are
    computed; the field anaerobios is anaerobiosis cut to a shapefile's 10
    characters."""
    _, raster = soil_map
    path = str(tmp_path / "soils.gpkg")
    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    data = ogr.GetDriverByName("GPKG").CreateDataSource(path)
    layer = data.CreateLayer("soils", crs, ogr.wkbMultiPolygon)
    soils = SOILS.loc[[0, 0], ["rain_total", "Ps", "ETps", "CS", "ZR", "zgw", "Class"]].assign(
        anaerobios=1.0)
    for column in soils.columns:
        layer.CreateField(ogr.FieldDefn(column, ogr.OFTReal))
    for geometry, soil in zip(["MULTIPOLYGON EMPTY", f"MULTI{_square(0)}".replace("((", "(((")
                               .replace("))", ")))")], soils.itertuples(index=False)):
        feature = ogr.Feature(layer.GetLayerDefn())
        for column, value in zip(soils.columns, soil):
            feature.SetField(column, value)
        feature.SetGeometry(ogr.CreateGeometryFromWkt(geometry))
        layer.CreateFeature(feature)
    data = None
    result = processing.run("recharge:soilmap", {
        "INPUT": path, "P": "rain_total", "ETp_layer": raster, "OUTPUT": str(tmp_path / "o.gpkg")})
    features = list(QgsVectorLayer(result["OUTPUT"], "out", "ogr").getFeatures())
    frame = soils.rename(columns={"rain_total": "P", "anaerobios": "anaerobiosis"}).assign(
        ETp=[None, ETP[0, 0]])
    expected = recharge.balance_frame(frame)
    assert [f["status"] for f in features] == list(expected["status"]) == [
        "input error: ETp: no value", "ok"]
    assert features[1]["R"] == expected["R"].iat[1] != recharge.balance_frame(
        frame.drop(columns="anaerobiosis"))["R"].iat[1]
