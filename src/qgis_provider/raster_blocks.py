"""Raster layers read and written through GDAL a strip of whole rows at a
time, as numpy arrays: band 1 of a layer as float64 with NaN where it has no
data, the grid the layers share, and a one-band output written strip by
strip, checked before any work and removed again where the run fails.

    band = Band(layer)            # band 1 of the layer's file
    grid = Grid.of(band)          # 400 x 300 cells of 25 m, EPSG:25832
    grid.strips(65536)            # (0, 163), (163, 137): row, rows
    band.read(0, 163)             # float64 array (163, 400), NaN = no data

A cell has no data where its raw value is the band's nodata value (unless
the layer's properties turn it off), where the band's mask (a per-dataset
mask or an alpha band) hides it, or where its value is in one of the layer's
user nodata ranges; a band without any of these has data everywhere. Scale
and offset are applied in float64, to the grid's strips and to a soil map's
samples alike. The grid's strips are whole rows of blocks, each block read and
written once and dropped from GDAL's cache at once, so that the cache does not
fill with them.
"""

import math
import os
from dataclasses import dataclass

import numpy as np
from osgeo import gdal
from qgis.core import QgsProcessingException, QgsRasterFileWriter, QgsRasterRange

from .model_inputs import tr


class Band:
    """Band 1 of a raster layer's file, read as float64 with NaN for no data."""

    def __init__(self, layer):
        if layer.providerType() != "gdal":
            raise QgsProcessingException(tr(
                "{}: only layers of raster files are read (this one comes from {})").format(
                layer.name(), layer.providerType()))
        self.name = layer.name()
        self.crs = layer.crs()
        self._data = gdal.Open(layer.source())
        if self._data is None:
            raise QgsProcessingException(
                tr("{}: cannot be opened: {}").format(layer.name(), gdal.GetLastErrorMsg()))
        band = self._data.GetRasterBand(1)
        provider = layer.dataProvider()
        self._band = band
        self._nodata = band.GetNoDataValue() if provider.useSourceNoDataValue(1) else None
        masked = not band.GetMaskFlags() & (gdal.GMF_ALL_VALID | gdal.GMF_NODATA)
        self._mask = band.GetMaskBand() if masked else None
        self._ranges = provider.userNoDataValues(1)
        self._scale, self._offset = band.GetScale() or 1.0, band.GetOffset() or 0.0

    @property
    def width(self):
        return self._data.RasterXSize

    @property
    def height(self):
        return self._data.RasterYSize

    @property
    def transform(self):
        return self._data.GetGeoTransform()

    @property
    def block_rows(self):
        """The rows of a block of the band, as GDAL reads it."""
        return self._band.GetBlockSize()[1]

    def drop_cache(self):
        """Drops the band's blocks from GDAL's cache, where they are read once."""
        self._band.FlushCache()

    def read_raw(self, top, rows, left=0, columns=None):
        """(raw values, where there is no data) of rows ``top`` to ``top +
        rows`` (columns ``left`` on), the raw values in the band's own type."""
        columns = self.width - left if columns is None else columns
        raw = self._band.ReadAsArray(left, top, columns, rows)
        if raw is None:
            raise QgsProcessingException(
                tr("{}: band 1 cannot be read: {}").format(self.name, gdal.GetLastErrorMsg()))
        missing = np.isnan(raw) if raw.dtype.kind == "f" else np.zeros(raw.shape, dtype=bool)
        if self._nodata is not None:
            missing |= raw == (raw.dtype.type(self._nodata) if raw.dtype.kind == "f"
                               else self._nodata)
        if self._mask is not None:
            missing |= self._mask.ReadAsArray(left, top, columns, rows) == 0
        if self._ranges:
            values = self.scaled(raw)
            for each in self._ranges:
                missing |= _in_range(values, each)
        return raw, missing

    def scaled(self, raw):
        """Raw values as float64, times the band's scale plus its offset."""
        values = raw.astype(np.float64)
        if self._scale != 1.0 or self._offset != 0.0:
            values = values * self._scale + self._offset
        return values

    def read(self, top, rows, left=0, columns=None):
        """Rows ``top`` to ``top + rows`` (columns ``left`` on), float64, NaN
        where there is no data."""
        raw, missing = self.read_raw(top, rows, left, columns)
        values = self.scaled(raw)
        values[missing] = np.nan
        return values

    def sample(self, x, y):
        """The value of the cell at (x, y) in the layer's CRS, NaN outside or without data."""
        column, row = gdal.ApplyGeoTransform(gdal.InvGeoTransform(self.transform), x, y)
        if not (0 <= column < self.width and 0 <= row < self.height):
            return math.nan
        return float(self.read(int(row), 1, int(column), 1)[0, 0])


def _in_range(values, each):
    """Where ``values`` fall in the user nodata range ``each`` (NaN bounds: open)."""
    low, high, bounds = each.min(), each.max(), each.bounds()
    with np.errstate(invalid="ignore"):
        above = (values >= low if bounds in (QgsRasterRange.IncludeMinAndMax,
                                             QgsRasterRange.IncludeMin) else values > low)
        below = (values <= high if bounds in (QgsRasterRange.IncludeMinAndMax,
                                              QgsRasterRange.IncludeMax) else values < high)
    return (above | math.isnan(low)) & (below | math.isnan(high))


@dataclass(frozen=True)
class Grid:
    """Cells, geotransform and CRS of a band."""

    width: int
    height: int
    transform: tuple
    crs: object  # QgsCoordinateReferenceSystem

    @classmethod
    def of(cls, band):
        return cls(band.width, band.height, tuple(band.transform), band.crs)

    def same(self, other):
        """Whether ``other`` has the same cells: CRS, size, cell size and origin
        to within a thousandth of a cell."""
        if (self.crs != other.crs or self.width != other.width
                or self.height != other.height):
            return False
        tolerance = 1e-3 * min(abs(self.transform[1]), abs(self.transform[5]))
        return all(abs(a - b) <= tolerance for a, b in zip(self.corners(), other.corners()))

    def corners(self):
        x, dx, _, y, _, dy = self.transform
        return x, y + self.height * dy, x + self.width * dx, y

    def __str__(self):
        # digits enough to show a thousandth of a cell
        cell = min(abs(self.transform[1]), abs(self.transform[5]))
        digits = max(0, math.ceil(-math.log10(cell * 1e-3)))
        west, south, east, north = (f"{each:.{digits}f}" for each in self.corners())
        crs = self.crs.authid() or self.crs.toProj() or tr("no CRS")
        return tr("{} x {} cells of {:g} x {:g} from ({}, {}) to ({}, {}) in {}").format(
            self.width, self.height, abs(self.transform[1]), abs(self.transform[5]), west,
            south, east, north, crs)

    def strips(self, cells, block_rows=1):
        """(first row, rows) of strips of whole rows of about ``cells`` cells,
        a multiple of ``block_rows`` rows."""
        rows = -(-max(1, cells // self.width) // block_rows) * block_rows
        return [(top, min(rows, self.height - top)) for top in range(0, self.height, rows)]


_GDAL_TYPES = {np.dtype(np.uint8): gdal.GDT_Byte, np.dtype(np.float64): gdal.GDT_Float64}


def output_driver(label, path, dtype):
    """The GDAL driver that writes ``path`` (by its extension) strip by strip
    with values of ``dtype``; QgsProcessingException naming ``label`` and the
    reason where there is none or its folder cannot be written."""
    folder = os.path.dirname(os.path.abspath(path))
    if not os.path.isdir(folder):
        raise QgsProcessingException(
            tr("{}: {}: the folder {} does not exist").format(label, path, folder))
    if not os.access(folder, os.W_OK):
        raise QgsProcessingException(
            tr("{}: {}: the folder {} cannot be written to").format(label, path, folder))
    extension = os.path.splitext(path)[1][1:]
    name = QgsRasterFileWriter.driverForExtension(extension) if extension else ""
    driver = gdal.GetDriverByName(name) if name else None
    if driver is None:
        raise QgsProcessingException(
            tr("{}: {}: no raster format is known by the extension {!r}; GeoTIFF's is .tif")
            .format(label, path, extension))
    refusal = _refusal(driver, dtype)
    if refusal:
        raise QgsProcessingException(f"{label}: {path}: {refusal}")
    return driver


def _refusal(driver, dtype):
    """Why ``driver`` cannot write a raster of ``dtype`` strip by strip, or ""."""
    format_name = f"{driver.ShortName} ({driver.LongName})"
    type_name = gdal.GetDataTypeName(_GDAL_TYPES[np.dtype(dtype)])
    # a virtual raster is created, but holds no values of its own
    if driver.ShortName == "VRT" or driver.GetMetadataItem(gdal.DCAP_CREATE) != "YES":
        return tr("the format {} cannot be written strip by strip; GeoTIFF (.tif) can").format(
            format_name)
    if type_name not in (driver.GetMetadataItem(gdal.DMD_CREATIONDATATYPES) or "").split():
        return tr("the format {} holds no {} values; GeoTIFF (.tif) does").format(
            format_name, type_name)
    return ""


def writable_extensions():
    """The extensions of the formats that take every result raster, strip by
    strip, for the dialog to offer."""
    return [extension for extension in QgsRasterFileWriter.supportedFormatExtensions()
            if not any(_refusal(gdal.GetDriverByName(
                QgsRasterFileWriter.driverForExtension(extension)), dtype)
                for dtype in _GDAL_TYPES)]


class StripWriter:
    """A one-band raster at ``path`` on ``grid`` of numpy type ``dtype``,
    ``nodata`` its nodata value, written by ``driver`` strip by strip;
    ``label`` names it in messages."""

    def __init__(self, label, driver, path, grid, dtype, nodata):
        self.path, self._label = path, label
        folder, self._stem = os.path.split(os.path.splitext(os.path.abspath(path))[0])
        self._folder = folder
        self._before = set(os.listdir(folder))
        self._data = driver.Create(path, grid.width, grid.height, 1,
                                   _GDAL_TYPES[np.dtype(dtype)])
        if self._data is None:
            message = gdal.GetLastErrorMsg()
            self.remove()
            raise QgsProcessingException(
                tr("{}: {}: cannot be created: {}").format(label, path, message))
        self._data.SetGeoTransform(grid.transform)
        self._data.SetProjection(grid.crs.toWkt())
        self._band = self._data.GetRasterBand(1)
        self._band.SetNoDataValue(nodata)
        self.block_rows = self._band.GetBlockSize()[1]

    def write(self, top, values):
        """Writes the rows from ``top`` on, out of GDAL's cache at once."""
        gdal.ErrorReset()
        self._band.WriteArray(values, 0, top)
        self._band.FlushCache()
        if gdal.GetLastErrorType() >= gdal.CE_Failure:
            raise QgsProcessingException(tr("{}: {}: cannot be written: {}").format(
                self._label, self.path, gdal.GetLastErrorMsg()))

    def close(self):
        self._band = self._data = None

    def remove(self):
        """Closes the raster and deletes its files: the raster itself (made
        anew where it was there before) with its statistics, and the files
        named as it that were not in its folder before."""
        self.close()
        made = {name for name in set(os.listdir(self._folder)) - self._before
                if name == self._stem or name.startswith(f"{self._stem}.")}
        for name in made | {os.path.basename(self.path), os.path.basename(self.path) + ".aux.xml"}:
            path = os.path.join(self._folder, name)
            if os.path.isfile(path):
                os.remove(path)
