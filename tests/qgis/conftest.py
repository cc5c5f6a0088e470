"""QGIS without a display, Processing and the provider recharge, once per test
file; rasters written with GDAL for the algorithms to read."""

import os
import sys
import time

import numpy as np
import pytest

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
sys.path.insert(0, "/usr/share/qgis/python/plugins")

from osgeo import gdal, osr  # noqa: E402
from qgis.core import QgsApplication, QgsProcessingFeedback  # noqa: E402

EPSG = 25832


@pytest.fixture(scope="session")
def qgis(tmp_path_factory):
    """The Processing registry with the provider recharge, QGIS's settings in a
    profile of the tests' own."""
    app = QgsApplication([], False, str(tmp_path_factory.mktemp("profile")))
    app.setPrefixPath("/usr", True)
    app.initQgis()
    from processing.core.Processing import Processing
    from recharge_processing.provider import RechargeProvider

    Processing.initialize()
    provider = RechargeProvider()
    QgsApplication.processingRegistry().addProvider(provider)
    yield provider
    QgsApplication.processingRegistry().removeProvider(provider)


def write_raster(path, values, nodata=-9999.0, origin=(500000.0, 5800000.0), cell=25.0):
    """A float64 GeoTIFF of ``values`` (rows from north), NaN written as ``nodata``."""
    rows, columns = values.shape
    data = gdal.GetDriverByName("GTiff").Create(str(path), columns, rows, 1, gdal.GDT_Float64)
    data.SetGeoTransform((origin[0], cell, 0, origin[1], 0, -cell))
    crs = osr.SpatialReference()
    crs.ImportFromEPSG(EPSG)
    data.SetProjection(crs.ExportToWkt())
    band = data.GetRasterBand(1)
    band.SetNoDataValue(nodata)
    band.WriteArray(np.where(np.isnan(values), nodata, values))
    data = None
    return str(path)


def read_raster(path):
    """(values, nodata value) of band 1."""
    data = gdal.Open(str(path))
    band = data.GetRasterBand(1)
    return band.ReadAsArray(), band.GetNoDataValue()


class Feedback(QgsProcessingFeedback):
    """Keeps the log and the time it was cancelled at."""

    def __init__(self):
        super().__init__()
        self.log, self.canceled_at = [], None

    def pushInfo(self, info):  # noqa: N802 (QGIS's name)
        self.log.append(info)

    def cancel(self):
        self.canceled_at = time.monotonic()
        super().cancel()
