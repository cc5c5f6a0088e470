"""Recharge of a grid: recharge.balance on raster layers that share one grid,
strip by strip, into rasters of the same grid.

Each input is a raster layer or a number; the monthly series are six layers
each. A nodata cell of any input layer is a cell with no data (status ``no
data``, nothing computed); of an own parameter's layer, where the cell is of
class 0, the one class that reads them. The value results are float64
rasters, nodata (-9999) where the cell is not ``ok`` or the value does not
apply to its path; ``method_code`` is a byte raster of codes into
``recharge.METHODS``, nodata 2 likewise; ``status_code`` holds every cell's
code into ``recharge.STATUSES``.
"""

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
    unit_parameter,
)
from .raster_blocks import Grid, StripWriter, read_strip
from .recharge_algorithm import RechargeAlgorithm

#: Cells computed at a time, a strip of whole rows of about this many: a
#: look at the cancel button between two strips comes within about a third of a
#: second, as a cell on the Bagrov path costs up to some 70 µs.
STRIP_CELLS = 1 << 13

NODATA = -9999.0
_NO_METHOD = recharge.METHODS.index("")
_METHOD_CODES = ", ".join(f"{code} {text}" for code, text in enumerate(recharge.METHODS) if text)


def number_parameter(name):
    """The id of the number given instead of ``name``'s layer."""
    return f"{name}_value"


def output_parameter(name):
    """The id of the result raster ``name``: ``ETa``, and ``Cs_result`` for the
    Cs used, as ``Cs`` is an input's."""
    return f"{name}_result" if any(each.name == name for each in INPUTS) else name


def _strip_arguments(given, grid, top, rows):
    """recharge.balance's arguments on a strip: the inputs' layers read, P not
    given (NaN) where any input layer has no data, so that the cell has none."""
    arguments, missing = {}, np.zeros((rows, grid.width), dtype=bool)
    for each, value in given.items():
        if isinstance(value, list):
            value = np.stack([read_strip(layer, grid, top, rows) for layer in value], -1)
            missing |= np.isnan(value).any(axis=-1)
        elif not isinstance(value, float):
            value = read_strip(value, grid, top, rows)
            # class comes before the own parameters, which only class 0 reads
            missing |= np.isnan(value) & (
                arguments["soil_class"] == 0 if each.group == "own parameter" else True)
        arguments[each.argument] = value
    arguments["P"] = np.where(missing, np.nan, arguments["P"])
    return arguments


class GridRecharge(RechargeAlgorithm):
    NAME = "grid"
    DISPLAY_NAME = "Recharge of a grid"
    INPUTS_HOW = (
        "Every input is a raster layer (band 1) or a number; the layers must share one grid "
        "(CRS, extent and cells), and at least one input is a layer. A nodata cell of any "
        "input layer gives the status no data (of an own parameter's layer, in a cell of "
        "class 0). The monthly series are six layers each, April to September.")
    OUTPUTS_HOW = (
        "The results are rasters on the grid of the inputs, nodata (-9999) where a cell is "
        "not ok or the value does not apply to its path (method_code: nodata 2); "
        "status_code holds every cell's status code, the log the number of cells of each "
        "status. ETa, R and status_code are written by default; the others where asked for:")
    # the values and the method's code in the table's order, then the status's code
    OUTPUTS = tuple(
        (f"{each.name}_code", f"code of the {each.description}: {_METHOD_CODES}") if each.text
        else (each.name, each.description) for each in recharge.RESULTS) + (
        ("status_code", "code of the status (below)"),)

    def initAlgorithm(self, config=None):  # noqa: N802
        for each in INPUTS:
            if each.series:
                parameters = [QgsProcessingParameterMultipleLayers(
                    each.name, f"{each.label} ({len(each.fields)} layers)",
                    QgsProcessing.TypeRaster, optional=True)]
            else:
                parameters = [
                    QgsProcessingParameterRasterLayer(
                        each.name, f"{each.label}: layer, or number below", optional=True),
                    QgsProcessingParameterNumber(
                        number_parameter(each.name), f"{each.label}: number",
                        QgsProcessingParameterNumber.Double, optional=True)]
            for parameter in parameters:
                if each.advanced:
                    parameter.setFlags(
                        parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
                self.addParameter(parameter)
            add_unit_parameter(self, each)
        add_output_units_parameter(self)
        for name, meaning in self.OUTPUTS:
            self.addParameter(QgsProcessingParameterRasterDestination(
                output_parameter(name), f"{name}: {meaning}", optional=True,
                createByDefault=name in MAIN_RESULTS or name == "status_code"))

    def _inputs(self, parameters, context):
        """{Input: layer, list of 6 layers, or float}, the inputs not given left
        out, and {label: layer} of every layer; QgsProcessingException for a
        required input missing, given twice, or months that are not six."""
        given, layers = {}, {}
        for each in INPUTS:
            if each.series:
                series = monthly_layers(self, parameters, each.name, each, context)
                if series:
                    given[each] = series
                    layers.update(zip(each.fields, series))
                continue
            layer = self.parameterAsRasterLayer(parameters, each.name, context)
            has_number = parameters.get(number_parameter(each.name)) is not None
            if layer is not None and has_number:
                raise QgsProcessingException(
                    f"{each.name}: give a layer or a number, not both")
            if layer is not None:
                given[each] = layers[each.name] = layer
            elif has_number:
                given[each] = self.parameterAsDouble(
                    parameters, number_parameter(each.name), context)
            elif each.required:
                raise QgsProcessingException(f"{each.name}: a layer or a number is needed")
        if not layers:
            raise QgsProcessingException(
                "no input is a layer: the results take the grid of the input layers")
        return given, layers

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        given, layers = self._inputs(parameters, context)
        (first, reference), *others = layers.items()
        grid = Grid.of(reference)
        for label, layer in others:
            if not Grid.of(layer).same(grid):
                raise QgsProcessingException(
                    f"{label}: the layer {layer.name()!r} is not on the grid of {first} "
                    f"({reference.name()!r}): {Grid.of(layer)}, not {grid}")
        units = {each.name: self.parameterAsEnumString(parameters, unit_parameter(each.name),
                                                       context)
                 for each in given if each.units}
        output_units = self.parameterAsEnumString(parameters, "output_units", context)

        writers = {}
        try:
            for name, _ in self.OUTPUTS:
                path = self.parameterAsOutputLayer(parameters, output_parameter(name), context)
                if path:
                    byte = name in ("method_code", "status_code")
                    writers[name] = (path, StripWriter(
                        path, grid, np.uint8 if byte else np.float64,
                        None if name == "status_code" else _NO_METHOD if byte else NODATA))
            if not writers:
                raise QgsProcessingException("no result raster is asked for")
            counts = np.zeros(len(recharge.STATUSES), dtype=np.int64)
            strips = grid.strips(STRIP_CELLS)
            for done, (top, rows) in enumerate(strips):
                if feedback.isCanceled():
                    break
                result = recharge.balance(**_strip_arguments(given, grid, top, rows),
                                          units=units, output_units=output_units)
                counts += np.bincount(result.status_code.ravel(), minlength=len(counts))
                ok = result.status_code == 0
                for name, (_, writer) in writers.items():
                    values = getattr(result, name)
                    if name == "method_code":
                        values = np.where(ok, values, _NO_METHOD)
                    elif name != "status_code":
                        values = np.where(ok & ~np.isnan(values), values, NODATA)
                    writer.write(top, values)
                feedback.setProgress(100.0 * (done + 1) / len(strips))
        finally:
            for _, writer in writers.values():
                writer.close()
        for name in ("status_code", "method_code"):
            if name in writers and context.willLoadLayerOnCompletion(writers[name][0]):
                context.layerToLoadOnCompletionDetails(writers[name][0]).setPostProcessor(
                    CategoryStyle.of(name))
        for code, count in enumerate(counts):
            if count:
                cells = "cell" if count == 1 else "cells"
                feedback.pushInfo(f"{recharge.STATUSES[code]}: {count} {cells}")
        return {output_parameter(name): path for name, (path, _) in writers.items()}
