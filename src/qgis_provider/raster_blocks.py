"""Raster layers read and written a strip of whole rows at a time, as numpy
arrays: the grid the layers share, a strip of band 1 of a layer as float64
with NaN for its nodata cells, and a one-band output written strip by strip.

    grid = Grid.of(layer)          # 400 x 300 cells of 25 m, EPSG:25832
    grid.strips(65536)             # (0, 163), (163, 137): row, rows
    read_strip(layer, grid, 0, 163)  -> float64 array (163, 400), NaN = nodata
"""

from dataclasses import dataclass

import numpy as np
from qgis.core import (
    Qgis,
    QgsProcessingException,
    QgsRasterBlock,
    QgsRasterFileWriter,
    QgsRectangle,
)
from qgis.PyQt.QtCore import QByteArray

# The numpy type of each raster data type the model reads.
_DTYPES = {
    Qgis.Byte: np.uint8,
    Qgis.UInt16: np.uint16,
    Qgis.Int16: np.int16,
    Qgis.UInt32: np.uint32,
    Qgis.Int32: np.int32,
    Qgis.Float32: np.float32,
    Qgis.Float64: np.float64,
}
_TYPES = {np.dtype(dtype): data_type for data_type, dtype in _DTYPES.items()}


@dataclass(frozen=True)
class Grid:
    """Cells, extent and CRS of a raster layer."""

    width: int
    height: int
    extent: QgsRectangle
    crs: object  # QgsCoordinateReferenceSystem

    @classmethod
    def of(cls, layer):
        return cls(layer.width(), layer.height(), layer.extent(), layer.crs())

    def same(self, other):
        """Whether ``other`` has the same cells: CRS, size and extent to within
        a thousandth of a cell."""
        if (self.crs != other.crs or self.width != other.width
                or self.height != other.height):
            return False
        tolerance = 1e-3 * min(self.extent.width() / self.width,
                               self.extent.height() / self.height)
        return all(abs(a - b) <= tolerance for a, b in zip(self.corners(), other.corners()))

    def corners(self):
        e = self.extent
        return e.xMinimum(), e.yMinimum(), e.xMaximum(), e.yMaximum()

    def __str__(self):
        e = self.extent
        return (f"{self.width} x {self.height} cells from ({e.xMinimum():.6g}, "
                f"{e.yMinimum():.6g}) to ({e.xMaximum():.6g}, {e.yMaximum():.6g}) in "
                f"{self.crs.authid() or self.crs.description() or 'no CRS'}")

    def strips(self, cells):
        """(first row, rows) of strips of whole rows of about ``cells`` cells."""
        rows = max(1, cells // self.width)
        return [(top, min(rows, self.height - top)) for top in range(0, self.height, rows)]

    def strip_extent(self, top, rows):
        e = self.extent
        cell = e.height() / self.height
        return QgsRectangle(e.xMinimum(), e.yMaximum() - (top + rows) * cell, e.xMaximum(),
                            e.yMaximum() - top * cell)


def read_strip(layer, grid, top, rows):
    """Band 1 of ``layer`` on rows ``top`` to ``top + rows``, float64 of shape
    (rows, width), NaN where the layer has no data (its nodata value, its
    user nodata ranges, NaN), the band's scale and offset applied."""
    block = layer.dataProvider().block(1, grid.strip_extent(top, rows), grid.width, rows)
    dtype = _DTYPES.get(block.dataType())
    if dtype is None or block.isEmpty():
        raise QgsProcessingException(
            f"{layer.name()}: band 1 cannot be read as numbers (data type {block.dataType()})")
    values = np.frombuffer(bytes(block.data()), dtype=dtype).astype(np.float64)
    if block.hasNoDataValue():
        values[values == block.noDataValue()] = np.nan
    elif block.hasNoData():  # a nodata bitmap, without a value
        values[[block.isNoData(cell) for cell in range(values.size)]] = np.nan
    return values.reshape(rows, grid.width)


class StripWriter:
    """A one-band raster at ``path`` on ``grid`` of numpy type ``dtype``,
    ``nodata`` its nodata value (None: none), written strip by strip; the
    format follows the file's extension (GeoTIFF for .tif)."""

    def __init__(self, path, grid, dtype, nodata):
        writer = QgsRasterFileWriter(path)
        writer.setOutputFormat(QgsRasterFileWriter.driverForExtension(path.rsplit(".", 1)[-1]))
        self._provider = writer.createOneBandRaster(_TYPES[np.dtype(dtype)], grid.width,
                                                    grid.height, grid.extent, grid.crs)
        if self._provider is None or not self._provider.isValid():
            raise QgsProcessingException(f"{path}: cannot be created ({writer.error()})")
        if nodata is not None:
            self._provider.setNoDataValue(1, nodata)
        self._provider.setEditable(True)
        self._dtype = dtype

    def write(self, top, values):
        rows, width = values.shape
        block = QgsRasterBlock(_TYPES[np.dtype(self._dtype)], width, rows)
        block.setData(QByteArray(np.ascontiguousarray(values, dtype=self._dtype).tobytes()))
        if not self._provider.writeBlock(block, 1, 0, top):
            raise QgsProcessingException(f"{self._provider.dataSourceUri()}: cannot be written")

    def close(self):
        self._provider.setEditable(False)
        self._provider = None
