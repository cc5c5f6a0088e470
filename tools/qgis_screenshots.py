#!/usr/bin/env python3
"""Remakes the README's screenshots of the QGIS plugin with QGIS itself.

    xvfb-run -a -s "-screen 0 1280x1024x24" /usr/bin/python3 tools/qgis_screenshots.py

run from the repository root after ``cmake --workflow --preset default`` (an
argument names another build folder than build/default); works from any
current folder. It registers the plugin's provider from the build tree,
writes synthetic rasters of 200 x 150 cells of 25 m in EPSG:25832 to a
temporary folder (QGIS's settings go there too) and writes into docs/figures:

- qgis_grid_dialog.png: the dialog of "Recharge of a grid" with these
  rasters, loaded as layers, and a few numbers filled in (900 x 800);
- qgis_result_map.png: the recharge R that recharge:grid computes from them,
  in a blue pseudocolor with a colour bar (800 x 600).
"""

import os
import sys
import tempfile
from pathlib import Path

import numpy as np
from osgeo import gdal, osr
from qgis.core import (QgsApplication, QgsMapRendererParallelJob, QgsMapSettings, QgsProject,
                       QgsRasterBandStats, QgsRasterLayer, QgsSingleBandPseudoColorRenderer,
                       QgsStyle)
from qgis.PyQt.QtCore import QRectF, QSize, Qt
from qgis.PyQt.QtGui import QColor, QFont, QLinearGradient, QPainter
from qgis.PyQt.QtWidgets import QApplication

ROOT = Path(__file__).resolve().parents[1]
FIGURES = ROOT / "docs" / "figures"
WIDTH, HEIGHT, CELL = 200, 150, 25.0
ORIGIN = (500000.0, 5800000.0)  # top left corner, EPSG:25832
NODATA = -9999.0
NODATA_COLOR = "#b0b0b0"

#: The layer of each input of recharge:grid, by its name in the project.
LAYERS = {
    "P": "precipitation", "ETp": "potential evapotranspiration",
    "Ps": "summer precipitation", "ETps": "summer potential evapotranspiration",
    "zr": "root zone depth", "zgw": "depth to groundwater", "class": "soil class",
}
#: The rest of the inputs: Cs as a number, ETa and R in mm/a.
NUMBERS = {"Cs_value": 0.3, "output_units": "mm"}


def synthetic_fields():
    """{input: array} of smooth climate and depths, P 50 to 90 cm/a with a few
    nodata cells, and a patchwork of 60 fields of soil classes 1 to 34."""
    rng = np.random.default_rng(7)
    y, x = np.mgrid[0:1:HEIGHT * 1j, 0:1:WIDTH * 1j]
    P = 70 + 20 * np.sin(4 * x + 0.5) * np.cos(3 * y - 0.5)
    P[rng.integers(0, HEIGHT, 12), rng.integers(0, WIDTH, 12)] = NODATA
    P[60:66, 120:130] = NODATA
    seeds = rng.random((60, 2))
    field = np.argmin((x[..., None] - seeds[:, 0]) ** 2 + (y[..., None] - seeds[:, 1]) ** 2, -1)
    return {
        "P": P, "ETp": 55 + 3 * x - 2 * y,
        "Ps": np.where(P == NODATA, 35, 0.45 * P + 3 * x), "ETps": 40 + 2 * x - 1.5 * y,
        "zr": 40 + 60 * y * (1 - 0.5 * x), "zgw": 80 + 520 * np.abs(np.sin(3 * x + 2 * y)),
        "class": rng.integers(1, 35, 60)[field],
    }


def write_geotiff(path, values):
    """``values`` as a float32 GeoTIFF on the grid, NODATA its nodata value."""
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(25832)
    data = gdal.GetDriverByName("GTiff").Create(str(path), WIDTH, HEIGHT, 1, gdal.GDT_Float32)
    data.SetGeoTransform((ORIGIN[0], CELL, 0, ORIGIN[1], 0, -CELL))
    data.SetProjection(srs.ExportToWkt())
    data.GetRasterBand(1).SetNoDataValue(NODATA)
    data.GetRasterBand(1).WriteArray(values)
    data.FlushCache()


def start_qgis(build, home):
    """The QGIS application with the provider ``recharge`` registered."""
    os.environ["HOME"] = str(home)  # QGIS's settings and profile
    sys.path[:0] = ["/usr/share/qgis/python/plugins", str(build / "python"),
                    str(build / "qgis")]
    app = QgsApplication([], True)
    app.setPrefixPath("/usr", True)
    app.initQgis()
    from processing.core.Processing import Processing
    from recharge_processing.provider import RechargeProvider

    Processing.initialize()
    provider = RechargeProvider()
    QgsApplication.processingRegistry().addProvider(provider)
    return app, provider


def grab_dialog(parameters, png):
    from processing.gui.AlgorithmDialog import AlgorithmDialog

    dialog = AlgorithmDialog(
        QgsApplication.processingRegistry().createAlgorithmById("recharge:grid"))
    dialog.setParameters(parameters)
    dialog.resize(900, 800)
    dialog.show()
    for _ in range(5):
        QApplication.processEvents()
    dialog.grab().save(str(png))
    dialog.close()


def render(layer, ramp):
    """An 800 x 600 image of ``layer`` in ``ramp`` from its minimum to its
    maximum, and (minimum, maximum)."""
    stats = layer.dataProvider().bandStatistics(
        1, QgsRasterBandStats.Min | QgsRasterBandStats.Max)
    renderer = QgsSingleBandPseudoColorRenderer(layer.dataProvider(), 1)
    renderer.setClassificationMin(stats.minimumValue)
    renderer.setClassificationMax(stats.maximumValue)
    renderer.createShader(ramp.clone())  # takes the ramp it is given
    renderer.setNodataColor(QColor(NODATA_COLOR))
    layer.setRenderer(renderer)
    settings = QgsMapSettings()
    settings.setLayers([layer])
    settings.setDestinationCrs(layer.crs())
    settings.setBackgroundColor(QColor("white"))
    settings.setOutputSize(QSize(800, 600))
    settings.setExtent(layer.extent().buffered(20 * CELL))
    job = QgsMapRendererParallelJob(settings)
    job.start()
    job.waitForFinished()
    return job.renderedImage(), (stats.minimumValue, stats.maximumValue)


def add_legend(image, title, ramp, low, high):
    """``title`` above the map, a colour bar of ``ramp`` from ``low`` to ``high``
    and the colour of no data below."""
    painter = QPainter(image)
    painter.setFont(QFont("DejaVu Sans", 11))
    painter.drawText(QRectF(0, 5, 800, 25), Qt.AlignCenter, title)
    bar = QRectF(250, 560, 300, 14)
    gradient = QLinearGradient(bar.topLeft(), bar.topRight())
    for stop in np.linspace(0, 1, 11):
        gradient.setColorAt(stop, ramp.color(stop))
    painter.fillRect(bar, gradient)
    painter.drawRect(bar)
    painter.drawText(QRectF(150, 556, 95, 22), Qt.AlignRight | Qt.AlignVCenter, f"{low:.0f}")
    painter.drawText(QRectF(555, 556, 95, 22), Qt.AlignLeft | Qt.AlignVCenter, f"{high:.0f}")
    painter.fillRect(QRectF(640, 560, 14, 14), QColor(NODATA_COLOR))
    painter.drawText(QRectF(660, 556, 100, 22), Qt.AlignLeft | Qt.AlignVCenter, "no data")
    painter.end()


def main():
    build = Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else ROOT / "build" / "default"
    with tempfile.TemporaryDirectory() as temporary:
        folder = Path(temporary)
        app, provider = start_qgis(build, folder)  # noqa: F841 (the provider must live)
        import processing

        parameters = dict(NUMBERS)
        for name, values in synthetic_fields().items():
            write_geotiff(folder / f"{name}.tif", values)
            parameters[name] = QgsRasterLayer(str(folder / f"{name}.tif"), LAYERS[name])
        QgsProject.instance().addMapLayers([parameters[name] for name in LAYERS])
        outputs = {name: str(folder / f"{name}_out.tif") for name in ("ETa", "R", "status_code")}
        result = processing.run("recharge:grid", {**parameters, **outputs})
        ramp = QgsStyle.defaultStyle().colorRamp("Blues")
        image, (low, high) = render(QgsRasterLayer(result["R"], "R"), ramp)
        add_legend(image, "Groundwater recharge R (mm/a) of synthetic rasters", ramp, low, high)
        image.save(str(FIGURES / "qgis_result_map.png"))
        grab_dialog(parameters, FIGURES / "qgis_grid_dialog.png")
        print(f"R from {low:.1f} to {high:.1f} mm/a; wrote qgis_result_map.png and "
              f"qgis_grid_dialog.png to {FIGURES}", flush=True)
        QgsProject.instance().clear()
        app.exitQgis()


if __name__ == "__main__":
    main()
