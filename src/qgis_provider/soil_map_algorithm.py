"""Recharge of a soil map: recharge.balance_frame on the features of a vector
layer, read as the rows of a table, into a copy of the layer with the results
added to every feature's attributes.

An input comes from the field chosen for it, else (a climate input) from the
raster layers chosen for it, sampled at each feature's centroid as the grid
reads them (raster_blocks.Band), else from the field named as the table's
column (``P``, ``zgw``, ``class``, ``rain4``, ..., case aside), or named as a
shapefile cuts it to 10 characters (``anaerobios``). A unit in a field's
name, ``P [mm]``, is the field's unit, found by name or chosen; a unit chosen
other than the default must agree with it. An empty attribute or a sample
without data is the table's empty cell, and so is a sample at a feature
without geometry (none, or an empty one): in a required input the feature's
status is ``input error: P: no value``.
"""

import math

import numpy as np
from qgis.core import (
    NULL,
    QgsCoordinateTransform,
    QgsCsException,
    QgsFeature,
    QgsFeatureSink,
    QgsField,
    QgsFields,
    QgsProcessing,
    QgsProcessingException,
    QgsProcessingParameterBoolean,
    QgsProcessingParameterDefinition,
    QgsProcessingParameterFeatureSink,
    QgsProcessingParameterFeatureSource,
    QgsProcessingParameterField,
    QgsProcessingParameterMultipleLayers,
    QgsProcessingParameterRasterLayer,
    QgsProcessingUtils,
)
from qgis.PyQt.QtCore import QVariant

import recharge

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
from .raster_blocks import Band
from .recharge_algorithm import RechargeAlgorithm

#: Features computed at a time, between two looks at the cancel button.
CHUNK_FEATURES = 10000

#: The results of numbers, then those of text (the method), in the table's order.
_VALUES = tuple(each for each in recharge.RESULTS if not each.text)
_TEXTS = tuple(each for each in recharge.RESULTS if each.text)


def layer_parameter(name):
    """The id of the raster layers a climate input ``name`` is sampled from."""
    return f"{name}_layer"


#: The fields whose names a shapefile cuts to its 10 characters, by the name cut.
_SHORTENED = {each.name[:10].lower(): each.name for each in recharge.INPUTS
              if len(each.name) > 10}


def _by_table_name(names):
    """{field: attribute name} of the attributes named as a table's column,
    case aside, by recharge-table's rules, or as a field's name cut to a
    shapefile's 10 characters (``anaerobios``); a field that two attributes
    name is left out, as the table refuses it."""
    found = {}
    for name in names:
        field = recharge.field_named(name) or _SHORTENED.get(name.lower())
        found.setdefault(field, []).append(name)
    return {field: named[0] for field, named in found.items() if field and len(named) == 1}


def _value(attribute):
    """An attribute as balance_frame reads a cell: NULL is None."""
    return None if attribute == NULL else attribute


def _status_code(status):
    """The code of a status text, ``input error: P: no value`` input error's."""
    return next(code for code, text in enumerate(recharge.STATUSES)
                if status == text or status.startswith(f"{text}: "))


class SoilMapRecharge(RechargeAlgorithm):
    NAME = "soilmap"
    DISPLAY_NAME = "Recharge of a soil map"
    INPUTS_HOW = (
        "The soils are the features (points or polygons) of a vector layer, each read as a "
        "row of recharge-table. An input comes from the field chosen for it; else, for a "
        "climate input, from the raster layers chosen for it, sampled at the feature's "
        "centroid (band 1, read as the grid reads it: a cell has no data where its value is "
        "the nodata value, the mask band hides it or it is in a user nodata range; scaled "
        "bands in float64); else from the field named as the table's column (P, zgw, class, "
        "rain4, ..., case aside; anaerobios, as a shapefile cuts anaerobiosis to 10 "
        "characters). A unit in a field's name (P [mm]) is the field's unit, a unit chosen "
        "other than the default must agree with it. An empty value of a required input, a "
        "sample without data or at a feature without geometry (none or an empty one) is "
        "the input error 'P: no value'.")
    OUTPUTS_HOW = (
        "The result is a copy of the layer, every feature in its order with its "
        "attributes, and fields added: ETa, R, method, status and status_code, with 'all "
        "values' also the others:")
    OUTPUTS = tuple((each.name, each.description, result_unit(each))
                    for each in _VALUES + _TEXTS) + (
        ("status", "ok, or what went wrong (input error: class: 35 is not a soil class (0 to "
                   "34), ...)", ""),
        ("status_code", "code of the status (below)", ""))

    def initAlgorithm(self, config=None):  # noqa: N802
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", tr("Soil map"),
            [QgsProcessing.TypeVectorPoint, QgsProcessing.TypeVectorPolygon]))
        for each in INPUTS:
            parameters = [QgsProcessingParameterField(
                field, tr("{}: field {}").format(each.label, field) if each.series else
                tr("{}, field (else the field named {})").format(each.label, field)
                + (tr(", required") if each.required else ""), parentLayerParameterName="INPUT",
                optional=True) for field in each.fields]
            if each.series:
                parameters.append(QgsProcessingParameterMultipleLayers(
                    layer_parameter(each.name),
                    tr("{}, sampled ({} layers)").format(each.label, len(each.fields)),
                    QgsProcessing.TypeRaster, optional=True))
            elif each.climate:
                parameters.append(QgsProcessingParameterRasterLayer(
                    layer_parameter(each.name),
                    tr("{}, sampled from a layer").format(each.label),
                    optional=True))
            for parameter in parameters:
                if each.advanced:
                    parameter.setFlags(
                        parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
                self.addParameter(parameter)
            add_unit_parameter(self, each)
        add_output_units_parameter(self)
        others = ", ".join(each.name for each in _VALUES if each.name not in MAIN_RESULTS)
        self.addParameter(QgsProcessingParameterBoolean(
            "all_values", tr("All values ({})").format(others), False))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", tr("Recharge")))

    def checkParameterValues(self, parameters, context):  # noqa: N802
        """QGIS's checks, then those of the inputs on the soil map's fields: a
        required input that is neither chosen nor found by name, a unit that
        contradicts a field's name."""
        ok, message = super().checkParameterValues(parameters, context)
        source = self.parameterAsSource(parameters, "INPUT", context) if ok else None
        if source is not None:
            try:
                self._sources(parameters, context, source)
            except QgsProcessingException as error:
                return False, str(error)
        return ok, message

    def _sources(self, parameters, context, source):
        """{field: ("field", attribute name) or ("layer", raster layer)} and
        {field: unit}; QgsProcessingException for an input given twice, an
        unknown attribute, a required input missing, a unit chosen that a
        field's name contradicts."""
        names = source.fields().names()
        named = _by_table_name(names)
        sources, units = {}, {}
        for each in INPUTS:
            # the unit chosen counts where it is not the default, the model's
            chosen = (unit_value(self, parameters, unit_parameter(each.name), context)
                      if each.units else None)
            given = chosen if each.units and chosen != each.units[0] else None
            layers = []
            if each.series:
                layers = monthly_layers(self, parameters, layer_parameter(each.name), each,
                                        context)
            elif each.climate:
                layer = self.parameterAsRasterLayer(parameters, layer_parameter(each.name),
                                                    context)
                layers = [layer] if layer is not None else []
            for month, field in enumerate(each.fields):
                attribute = self.parameterAsString(parameters, field, context)
                if attribute and layers:
                    raise QgsProcessingException(
                        tr("{}: give a field or a layer, not both").format(field))
                if attribute and attribute not in names:
                    raise QgsProcessingException(
                        tr("{}: the layer has no field {!r}").format(field, attribute))
                attribute = attribute or (None if layers else named.get(field))
                unit = given
                if attribute:
                    sources[field] = ("field", attribute)
                    try:
                        unit = recharge.column_unit(attribute, field, given, "the unit chosen")
                    except ValueError as error:
                        raise QgsProcessingException(
                            tr("{}: the field {!r}: ").format(field, attribute)
                            + str(error).removeprefix(f"{attribute}: ")) from None
                elif layers:
                    sources[field] = ("layer", layers[month])
                elif each.required:
                    raise QgsProcessingException(
                        (tr("{0}: required, and the layer has no field named {0} (case aside); "
                            "choose a field or a layer") if each.climate else
                         tr("{0}: required, and the layer has no field named {0} (case aside); "
                            "choose a field")).format(field))
                if field in sources and unit is not None:
                    units[field] = unit
        return sources, units

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        source = self.parameterAsSource(parameters, "INPUT", context)
        if source is None:
            raise QgsProcessingException(tr("INPUT: no soil map"))
        sources, units = self._sources(parameters, context, source)
        output_units = unit_value(self, parameters, "output_units", context)
        all_values = self.parameterAsBool(parameters, "all_values", context)
        added = [each.name for each in _VALUES if all_values or each.name in MAIN_RESULTS]
        new_fields = QgsFields()
        for name in added:
            new_fields.append(QgsField(name, QVariant.Double))
        for each in _TEXTS:
            new_fields.append(QgsField(each.name, QVariant.String))
        new_fields.append(QgsField("status", QVariant.String))
        new_fields.append(QgsField("status_code", QVariant.Int))
        fields = QgsProcessingUtils.combineFields(source.fields(), new_fields)
        sink, sink_id = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                             source.wkbType(), source.sourceCrs())
        if sink is None:
            raise QgsProcessingException(tr("OUTPUT: cannot be created"))
        samplers = {field: (Band(layer), QgsCoordinateTransform(
            source.sourceCrs(), layer.crs(), context.transformContext()))
            for field, (kind, layer) in sources.items() if kind == "layer"}
        attribute_of = {field: source.fields().indexOf(name)
                        for field, (kind, name) in sources.items() if kind == "field"}
        total = source.featureCount() or 1
        done, chunk = 0, []
        for feature in source.getFeatures():
            if feedback.isCanceled():
                break
            chunk.append(feature)
            if len(chunk) == CHUNK_FEATURES:
                self._write(chunk, attribute_of, samplers, units, output_units, added, sink)
                done += len(chunk)
                chunk = []
                feedback.setProgress(100.0 * done / total)
        if chunk and not feedback.isCanceled():
            self._write(chunk, attribute_of, samplers, units, output_units, added, sink)
        return {"OUTPUT": sink_id}

    @staticmethod
    def _write(chunk, attribute_of, samplers, units, output_units, added, sink):
        """Computes a chunk of features and adds them to ``sink`` with their results."""
        import pandas as pd

        columns = {}
        for field, index in attribute_of.items():
            columns[field] = [_value(feature.attributes()[index]) for feature in chunk]
        for field, (provider, transform) in samplers.items():
            columns[field] = [_sample(provider, transform, feature) for feature in chunk]
        frame = pd.DataFrame({f"{field} [{units[field]}]" if field in units else field: values
                              for field, values in columns.items()})
        result = recharge.balance_frame(frame, output_units=output_units)
        for row, feature in enumerate(chunk):
            values = [float(result[name].iat[row]) for name in added]
            texts = [result[each.name].iat[row] for each in _TEXTS]
            status = result["status"].iat[row]
            out = QgsFeature(feature)
            out.setAttributes(feature.attributes() + [
                None if math.isnan(value) else value for value in values] + [
                text if isinstance(text, str) else None for text in texts] + [
                status, _status_code(status)])
            sink.addFeature(out, QgsFeatureSink.FastInsert)


def _sample(band, transform, feature):
    """Band 1 of a raster at the feature's centroid, NaN where it has no data
    or the feature no geometry (none, or an empty one)."""
    geometry = feature.geometry()
    if geometry.isNull() or geometry.isEmpty():
        return np.nan
    try:
        point = transform.transform(geometry.centroid().asPoint())
    except QgsCsException:
        return np.nan
    return band.sample(point.x(), point.y())
