"""Recharge of a grid: recharge.balance on raster layers that share one grid,
strip by strip, into rasters of the same grid.

Each input is a raster layer or a number; the monthly series are six layers
each. A cell without data in any input layer (raster_blocks says when a cell
has none) is a cell with no data (status ``no data``, nothing computed); of an
own parameter's layer, where the cell is of class 0, the one class that reads
them. The value results are float64 rasters, nodata (-9999) where the cell
is not ``ok`` or the value does not apply to its path; ``method_code`` is a
byte raster of codes into ``recharge.METHODS``, nodata 2 likewise;
``status_code`` a byte raster of every computed cell's code into
``recharge.STATUSES``, nodata 255 (no status) where a cell was not computed.
A run that fails or is cancelled removes the rasters it has begun.
"""

import math

import numpy as np
from qgis.core import (
    QgsProcessing,
    QgsProcessingException,
    QgsProcessingParameterDefinition,
    QgsProcessingParameterMultipleLayers,
    QgsProcessingParameterNumber,
    QgsProcessingParameterRasterDestination,
    QgsProcessingParameterRasterLayer,
)

import recharge

from .category_styles import CategoryStyle
from .model_inputs import (
    INPUTS,
    MAIN_RESULTS,
    add_output_units_parameter,
    add_unit_parameter,
    monthly_layers,
    result_unit,
    tr,
    unit_parameter,
    unit_value,
)
from .raster_blocks import Band, Grid, StripWriter, output_driver
from .recharge_algorithm import RechargeAlgorithm

#: Cells read and written at a time, a strip of whole rows of about this many
#: (more where a row of the layers' blocks has more).
STRIP_CELLS = 1 << 16
#: Cells computed at a time: a look at the cancel button between two chunks
#: comes within about a third of a second, as a cell on the Bagrov path costs
#: up to some 70 µs; fewer at a time run slower on the package's threads, so
#: the cells with data of several strips are gathered into a chunk.
CHUNK_CELLS = 1 << 13
#: Cells of the strips held at most until their cells with data are computed.
HELD_CELLS = 1 << 22

NODATA = -9999.0
#: The nodata value of status_code, a cell not computed: no status has this code.
NO_STATUS = 255
_NO_DATA = recharge.STATUSES.index("no data")
_NO_METHOD = recharge.METHODS.index("")
_METHOD_CODES = ", ".join(f"{code} {text}" for code, text in enumerate(recharge.METHODS) if text)


def number_parameter(name):
    """The id of the number given instead of ``name``'s layer."""
    return f"{name}_value"


def output_parameter(name):
    """The id of the result raster ``name``: ``ETa``, and ``Cs_result`` for the
    Cs used, as ``Cs`` is an input's."""
    return f"{name}_result" if any(each.name == name for each in INPUTS) else name


def _strip_arguments(given, top, rows):
    """recharge.balance's arguments on the cells of a strip that have data in
    every input layer (1-d, the months' on a last axis), and where those are;
    an own parameter's layer counts only in cells of class 0, which read them."""
    read, missing, soil_class = {}, None, None
    for each, value in given.items():
        if isinstance(value, float):
            soil_class = value if each.argument == "soil_class" else soil_class
            continue
        for band in value if isinstance(value, list) else [value]:
            raw, gap = band.read_raw(top, rows)
            band.drop_cache()
            read.setdefault(each, []).append((band, raw))
            # class comes before the own parameters, which only class 0 reads
            if each.group == "own parameter":
                gap &= soil_class == 0
            elif each.argument == "soil_class":
                soil_class = band.scaled(raw)
            missing = gap if missing is None else missing | gap
    present = ~missing
    arguments = {}
    for each, value in given.items():
        if each in read:
            value = [band.scaled(raw[present]) for band, raw in read[each]]
            value = np.stack(value, -1) if each.series else value[0]
        arguments[each.argument] = value
    return arguments, present


def _off_the_grid(bands):
    """What is wrong with the layers that are not on the grid most of them
    share (the first such grid where two are shared alike): one line each,
    naming the layer, its grid and the shared one; empty where all agree."""
    grids = {label: Grid.of(band) for label, band in bands.items()}
    sharing = {label: [other for other, grid in grids.items() if grid.same(grids[label])]
               for label in grids}
    reference = max(sharing, key=lambda label: len(sharing[label]))
    shared = sharing[reference]
    names = (tr("{} ({!r})").format(reference, bands[reference].name) if len(shared) == 1
             else tr("{} ({!r}) and {} other layers").format(
                 reference, bands[reference].name, len(shared) - 1))
    return [tr("{}: the layer {!r} is not on the grid of {}: {}, not {}").format(
        label, bands[label].name, names, grids[label], grids[reference])
        for label in grids if label not in shared]


class GridRecharge(RechargeAlgorithm):
    NAME = "grid"
    DISPLAY_NAME = "Recharge of a grid"
    INPUTS_HOW = (
        "Every input is a raster layer (band 1, of a file GDAL reads) or a number; P, ETp, Ps, "
        "ETps, zr, zgw and class are required, each as a layer or a number. The layers must "
        "share one grid (CRS, extent and cells), and at least one input is a layer. A cell "
        "has no data where its value is the band's nodata value, where the band's mask "
        "(a mask file or an alpha band) hides it, or where it is in the layer's user nodata "
        "ranges; a band with none of these has data in every cell, -9999 too. Scaled "
        "bands are read as value times scale plus offset in float64. A cell without data "
        "in any input layer gets the status no data (of an own parameter's layer: in a "
        "cell of class 0). The monthly series are six layers each, April to September.")
    OUTPUTS_HOW = (
        "The results are rasters on the grid of the inputs, in the format of the file's "
        "extension (one GDAL creates, e.g. .tif, .img, .nc), nodata (-9999) where a cell "
        "is not ok or the value does not apply to its path (method_code: nodata 2); "
        "status_code holds every computed cell's status code (nodata 255: not computed), "
        "the log the number of cells of each status. ETa, R and status_code are written by "
        "default; the others where asked for. A run that fails or is cancelled removes "
        "the rasters it began.")
    # the values and the method's code in the table's order, then the status's code
    OUTPUTS = tuple(
        (f"{each.name}_code", f"code of the {each.description}: {_METHOD_CODES}", "")
        if each.text else (each.name, each.description, result_unit(each))
        for each in recharge.RESULTS) + (("status_code", "code of the status (below)", ""),)

    def initAlgorithm(self, config=None):  # noqa: N802
        for each in INPUTS:
            if each.series:
                parameters = [QgsProcessingParameterMultipleLayers(
                    each.name, tr("{} ({} layers)").format(each.label, len(each.fields)),
                    QgsProcessing.TypeRaster, optional=True)]
            else:
                parameters = [
                    QgsProcessingParameterRasterLayer(
                        each.name, (tr("{} (required): layer, or number below")
                                    if each.required else tr("{}: layer, or number below"))
                        .format(each.label), optional=True),
                    QgsProcessingParameterNumber(
                        number_parameter(each.name), tr("{}: number").format(each.label),
                        QgsProcessingParameterNumber.Double, optional=True)]
            for parameter in parameters:
                if each.advanced:
                    parameter.setFlags(
                        parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
                self.addParameter(parameter)
            add_unit_parameter(self, each)
        add_output_units_parameter(self)
        for name, meaning, _ in self.OUTPUTS:
            self.addParameter(QgsProcessingParameterRasterDestination(
                output_parameter(name), f"{name}: {meaning}", optional=True,
                createByDefault=name in MAIN_RESULTS or name == "status_code"))

    def checkParameterValues(self, parameters, context):  # noqa: N802
        ok, message = super().checkParameterValues(parameters, context)
        if not ok:
            return ok, message
        missing = [each.name for each in INPUTS if each.required and not each.series
                   and parameters.get(each.name) in (None, "")
                   and parameters.get(number_parameter(each.name)) in (None, "")]
        if missing:
            return False, tr("a layer or a number is needed for {}").format(", ".join(missing))
        return True, ""

    def _inputs(self, parameters, context):
        """{Input: Band, list of 6 Bands, or float}, the inputs not given left
        out, and {label: Band} of every layer; QgsProcessingException for a
        required input missing, given twice, or months that are not six."""
        given, bands = {}, {}
        for each in INPUTS:
            if each.series:
                series = [Band(layer) for layer in
                          monthly_layers(self, parameters, each.name, each, context)]
                if series:
                    given[each] = series
                    bands.update(zip(each.fields, series))
                continue
            layer = self.parameterAsRasterLayer(parameters, each.name, context)
            has_number = parameters.get(number_parameter(each.name)) is not None
            if layer is not None and has_number:
                raise QgsProcessingException(
                    tr("{}: give a layer or a number, not both").format(each.name))
            if layer is not None:
                given[each] = bands[each.name] = Band(layer)
            elif has_number:
                given[each] = self.parameterAsDouble(
                    parameters, number_parameter(each.name), context)
            elif each.required:
                raise QgsProcessingException(
                    tr("{}: a layer or a number is needed").format(each.name))
        if not bands:
            raise QgsProcessingException(
                tr("no input is a layer: the results take the grid of the input layers"))
        return given, bands

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        given, bands = self._inputs(parameters, context)
        off = _off_the_grid(bands)
        if off:
            raise QgsProcessingException("\n".join(off))
        grid = Grid.of(next(iter(bands.values())))
        units = {each.name: unit_value(self, parameters, unit_parameter(each.name), context)
                 for each in given if each.units}
        output_units = unit_value(self, parameters, "output_units", context)

        # every output's format and folder checked before the first is created
        outputs = {}
        for name, _, _ in self.OUTPUTS:
            path = self.parameterAsOutputLayer(parameters, output_parameter(name), context)
            if path:
                dtype = np.uint8 if name in ("method_code", "status_code") else np.float64
                nodata = (NO_STATUS if name == "status_code" else _NO_METHOD
                          if name == "method_code" else NODATA)
                outputs[name] = (output_driver(output_parameter(name), path, dtype), path,
                                 dtype, nodata)
        if not outputs:
            raise QgsProcessingException(tr("no result raster is asked for"))

        writers = {}
        try:
            for name, (driver, path, dtype, nodata) in outputs.items():
                writers[name] = StripWriter(output_parameter(name), driver, path, grid, dtype,
                                            nodata)
            counts = self._compute(given, grid, units, output_units, writers, feedback)
        except BaseException:
            for writer in writers.values():
                writer.remove()
            raise
        for writer in writers.values():
            writer.close()
        for name in ("status_code", "method_code"):
            if name in writers and context.willLoadLayerOnCompletion(writers[name].path):
                context.layerToLoadOnCompletionDetails(writers[name].path).setPostProcessor(
                    CategoryStyle.of(name))
        for code, count in enumerate(counts):
            if count:
                cells = "cell" if count == 1 else "cells"
                feedback.pushInfo(f"{recharge.STATUSES[code]}: {count} {cells}")
        return {output_parameter(name): writer.path for name, writer in writers.items()}

    @staticmethod
    def _compute(given, grid, units, output_units, writers, feedback):
        """Computes the grid into ``writers``: strips read, their cells with
        data gathered until there are enough for a chunk (or the strips held
        are many), computed in chunks and written back strip by strip. The
        number of cells of each status; QgsProcessingException where the run
        is cancelled."""
        counts = np.zeros(len(recharge.STATUSES), dtype=np.int64)
        bands = [band for value in given.values() if not isinstance(value, float)
                 for band in (value if isinstance(value, list) else [value])]
        block_rows = min(grid.height, math.lcm(*(each.block_rows for each in
                                                 [*bands, *writers.values()])))
        held, cells, strips = [], 0, grid.strips(STRIP_CELLS, block_rows)
        for index, (top, rows) in enumerate(strips):
            _stop_if_cancelled(feedback)
            arguments, present = _strip_arguments(given, top, rows)
            held.append((top, present, arguments))
            cells += int(present.sum())
            if (cells >= CHUNK_CELLS or index == len(strips) - 1
                    or len(held) * rows * grid.width >= HELD_CELLS):
                counts += _compute_held(held, cells, units, output_units, writers, feedback)
                held, cells = [], 0
                feedback.setProgress(100.0 * (top + rows) / grid.height)
        return counts


def _stop_if_cancelled(feedback):
    if feedback.isCanceled():
        raise QgsProcessingException(tr("cancelled: the results begun are removed"))


def _compute_held(held, cells, units, output_units, writers, feedback):
    """Computes the ``cells`` cells with data of the strips ``held`` ((top,
    where the cells with data are, their arguments) each) in chunks, writes
    the strips; the number of cells of each status."""
    arguments = {name: value if isinstance(value, float) else
                 np.concatenate([strip[name] for _, _, strip in held])
                 for name, value in held[0][2].items()}
    status = np.empty(cells, dtype=np.uint8)
    method = np.empty(cells, dtype=np.uint8)
    results = {name: np.empty(cells) for name in writers
               if name not in ("status_code", "method_code")}
    for start in range(0, cells, CHUNK_CELLS):
        if start:
            _stop_if_cancelled(feedback)
        chunk = slice(start, start + CHUNK_CELLS)
        result = recharge.balance(
            **{name: value if isinstance(value, float) else value[chunk]
               for name, value in arguments.items()},
            units=units, output_units=output_units)
        status[chunk] = result.status_code
        ok = result.status_code == 0
        method[chunk] = np.where(ok, result.method_code, _NO_METHOD)
        for name, values in results.items():
            value = getattr(result, name)
            values[chunk] = np.where(ok & ~np.isnan(value), value, NODATA)
    filled = {"status_code": (_NO_DATA, status), "method_code": (_NO_METHOD, method),
              **{name: (NODATA, values) for name, values in results.items()}}
    start = 0
    for top, present, _ in held:
        end = start + int(present.sum())
        for name, writer in writers.items():
            fill, values = filled[name]
            strip = np.full(present.shape, fill, dtype=values.dtype)
            strip[present] = values[start:end]
            writer.write(top, strip)
        start = end
    counts = np.bincount(status, minlength=len(recharge.STATUSES))
    counts[_NO_DATA] += sum(present.size for _, present, _ in held) - cells
    return counts
