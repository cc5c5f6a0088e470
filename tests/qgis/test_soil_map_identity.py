"""recharge:soilmap on a layer whose attributes are text, as a CSV file or a
spreadsheet export gives them, named with units as a table's header: every
feature gets the very numbers and status that recharge-table writes for the
same cells with --units mm --output-units mm."""

import csv
import os
import subprocess

import numpy as np
import processing
import pytest
from conftest import EPSG
from osgeo import ogr, osr
from qgis.core import NULL, QgsVectorLayer

import recharge

ROWS = 600
# P in mm by its name, zr and zgw in m; the other amounts in mm by the units
# chosen, as the table's --units mm.
NAMES = {"P": "P [mm]", "zr": "zr [m]", "zgw": "zgw (m)"}
CHOSEN = {"ETp_unit": "mm/a", "Ps_unit": "mm", "ETps_unit": "mm", "rain_unit": "mm",
          "etp_unit": "mm"}
VALUES = [each.name for each in recharge.RESULTS if not each.text]


def _cells(rng):
    """Column -> text cells of random soils: plain ones, soils of own
    parameters, empty cells and a few that are no number."""
    u = rng.uniform
    empty = rng.random(ROWS) < 0.05
    own = rng.random(ROWS) < 0.2
    columns = {
        "P [mm]": u(300, 1200, ROWS), "ETp": u(400, 800, ROWS), "Ps": u(150, 600, ROWS),
        "ETps": u(250, 550, ROWS), "Cs": np.where(rng.random(ROWS) < 0.6, u(0, 1, ROWS), np.nan),
        **{f"{series}{month}": u(0, 120, ROWS) for series in ("rain", "etp")
           for month in range(4, 10)},
        "zr [m]": u(0.1, 1.5, ROWS), "zgw (m)": u(1.5, 5, ROWS),
        "class": np.where(own, 0, rng.integers(1, 35, ROWS)).astype(float),
        "theta_r": u(0, 0.1, ROWS), "theta_s": u(0.35, 0.5, ROWS), "alpha": u(0.005, 0.3, ROWS),
        "n": u(1.05, 1.6, ROWS), "p1": u(50, 5000, ROWS), "p2": u(-3.5, -1.4, ROWS),
        "anaerobiosis": rng.choice([0.0, 1.0], ROWS)}
    cells = {name: ["" if np.isnan(v) else repr(float(v)) for v in values]
             for name, values in columns.items()}
    cells["class"] = ["" if e else c[:-2] for e, c in zip(empty, cells["class"])]
    cells["zr [m]"][7] = "6o"
    return cells


@pytest.fixture(scope="module")
def soils(tmp_path_factory):
    """(the layer's path, the table's output cells by plain column name)."""
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table to compare with")
    folder = tmp_path_factory.mktemp("identity")
    cells = _cells(np.random.default_rng(24))
    with open(folder / "soils.csv", "w", newline="") as out:
        writer = csv.writer(out)
        writer.writerow(cells)
        writer.writerows(zip(*cells.values()))
    run = subprocess.run([program, "-q", "--units", "mm", "--output-units", "mm",
                          str(folder / "soils.csv")], capture_output=True, text=True)
    rows = list(csv.reader(run.stdout.splitlines()))
    table = {name.split(" [")[0]: [row[c] for row in rows[1:]] for c, name in enumerate(rows[0])}

    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    path = str(folder / "soils.gpkg")
    data = ogr.GetDriverByName("GPKG").CreateDataSource(path)
    layer = data.CreateLayer("soils", crs, ogr.wkbPoint)
    for name in cells:
        layer.CreateField(ogr.FieldDefn(name, ogr.OFTString))
    for row in range(ROWS):
        feature = ogr.Feature(layer.GetLayerDefn())
        for name, column in cells.items():
            feature.SetField(name, column[row])
        feature.SetGeometry(ogr.CreateGeometryFromWkt(f"POINT({500000 + row} 5800000)"))
        layer.CreateFeature(feature)
    data = None
    return path, table


def test_text_attributes_give_the_tables_bits(qgis, soils, tmp_path):
    path, table = soils
    result = processing.run("recharge:soilmap", {
        "INPUT": path, **CHOSEN, "output_units": "mm", "all_values": True,
        "OUTPUT": str(tmp_path / "out.gpkg")})
    features = list(QgsVectorLayer(result["OUTPUT"], "out", "ogr").getFeatures())
    for name in VALUES:
        field = f"{name}_2" if name == "Cs" else name  # the input Cs is there
        got = np.array([np.nan if f[field] == NULL else f[field] for f in features], dtype=float)
        expected = np.array([float(cell) if cell else np.nan for cell in table[name]])
        assert np.array_equal(got.view(np.int64), expected.view(np.int64)), name
    statuses = [f["status"] for f in features]
    assert statuses == [s.replace(f"line {i + 2}: ", "", 1) for i, s in
                        enumerate(table["status"])]
    assert statuses[7] == 'input error: zr: "6o" is not a number'
    assert len(set(statuses)) > 2
