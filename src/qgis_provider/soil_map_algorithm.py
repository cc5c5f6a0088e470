"""Recharge of a soil map: recharge.balance_frame on the features of a vector
layer, read as the rows of a table, into a copy of the layer with the results
added to every feature's attributes.

An input comes from the field chosen for it, else (a climate input) from the
raster layers chosen for it, sampled at each feature's centroid, else from
the field named as the table's column (``P``, ``zgw``, ``class``, ``rain4``,
..., case aside; a unit in the name, ``P [mm]``, is the field's unit). An
empty attribute or a sample without data is the table's empty cell: in a
required input the feature's status is ``input error: P: no value``.
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
    REQUIRED,
    RESULTS,
    add_output_unit_parameter,
    add_unit_parameter,
    monthly_layers,
    unit_parameter,
)
from .recharge_algorithm import RechargeAlgorithm

#: Features computed at a time, between two looks at the cancel button.
CHUNK_FEATURES = 10000

_FIELDS = recharge._core.FIELDS
_STATUS_CODE = {text: code for code, text in enumerate(recharge.STATUSES)}
_INPUT_ERROR = _STATUS_CODE["input error"]


def layer_parameter(name):
    """The id of the raster layers a climate input ``name`` is sampled from."""
    return f"{name}_layer"


def _fields_of(each):
    """The table's fields of an input: ``rain`` -> ``rain4`` ... ``rain9``."""
    return each.months or (each.name,)


def _by_table_name(names):
    """{field: (attribute name, unit or None)} of the attributes named as a
    table's column, case aside, by recharge-table's rules; a field that two
    attributes name is left out, as the table refuses it."""
    found = {}
    for name in names:
        positions, _, _, _, units = recharge._core.map_names([name], "layer", "field", False, "")
        for field, position, unit in zip(_FIELDS, positions, units):
            if position is not None:
                found.setdefault(field, []).append((name, unit))
    return {field: named[0] for field, named in found.items() if len(named) == 1}


def _value(attribute):
    """An attribute as balance_frame reads a cell: NULL is None."""
    return None if attribute == NULL else attribute


class SoilMapRecharge(RechargeAlgorithm):
    NAME = "soilmap"
    DISPLAY_NAME = "Recharge of a soil map"
    INPUTS_HOW = (
        "The soils are the features (points or polygons) of a vector layer, each read as a "
        "row of recharge-table. An input comes from the field chosen for it; else, for a "
        "climate input, from the raster layers chosen for it, sampled at the feature's "
        "centroid (band 1); else from the field named as the table's column (P, zgw, "
        "class, rain4, ..., case aside). An empty value of a required input is the input "
        "error 'P: no value'.")
    OUTPUTS_HOW = (
        "The result is a copy of the layer, every feature in its order with its "
        "attributes, and the fields ETa, R, method, status (the code) and status_text "
        "added; with 'all values' also:")

    def initAlgorithm(self, config=None):  # noqa: N802
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Soil map",
            [QgsProcessing.TypeVectorPoint, QgsProcessing.TypeVectorPolygon]))
        for each in INPUTS:
            parameters = [QgsProcessingParameterField(
                field, f"{each.description}: field {field}" if each.months else
                f"{each.description}, field", parentLayerParameterName="INPUT",
                optional=True) for field in _fields_of(each)]
            if each.months:
                parameters.append(QgsProcessingParameterMultipleLayers(
                    layer_parameter(each.name), f"{each.description}, sampled (6 layers)",
                    QgsProcessing.TypeRaster, optional=True))
            elif each.climate:
                parameters.append(QgsProcessingParameterRasterLayer(
                    layer_parameter(each.name), f"{each.description}, sampled from a layer",
                    optional=True))
            for parameter in parameters:
                if each.advanced:
                    parameter.setFlags(
                        parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
                self.addParameter(parameter)
            add_unit_parameter(self, each, each.advanced)
        add_output_unit_parameter(self)
        self.addParameter(QgsProcessingParameterBoolean(
            "all_values", "All values (Cs, FC, WP, Wmax, qmax, nB, h_an, g)", False))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Recharge"))

    def _sources(self, parameters, context, source):
        """{field: ("field", attribute name) or ("layer", raster layer)} and
        {field: unit}; QgsProcessingException for an input given twice, an
        unknown attribute, a required input missing, a unit given twice."""
        names = source.fields().names()
        named = _by_table_name(names)
        sources, units = {}, {}
        for each in INPUTS:
            chosen_unit = (self.parameterAsEnumString(parameters, unit_parameter(each.name),
                                                      context) if each.units else None)
            layers = []
            if each.months:
                layers = monthly_layers(self, parameters, layer_parameter(each.name), each,
                                        context)
            elif each.climate:
                layer = self.parameterAsRasterLayer(parameters, layer_parameter(each.name),
                                                    context)
                layers = [layer] if layer is not None else []
            for month, field in enumerate(_fields_of(each)):
                attribute = self.parameterAsString(parameters, field, context)
                if attribute and layers:
                    raise QgsProcessingException(
                        f"{field}: give a field or a layer, not both")
                unit = chosen_unit
                if attribute:
                    if attribute not in names:
                        raise QgsProcessingException(f"{field}: the layer has no field "
                                                     f"{attribute!r}")
                    sources[field] = ("field", attribute)
                elif layers:
                    sources[field] = ("layer", layers[month])
                elif field in named:
                    sources[field] = ("field", named[field][0])
                    name_unit = named[field][1]
                    if name_unit and chosen_unit not in (None, each.units[0], name_unit):
                        raise QgsProcessingException(
                            f"{field}: the field {named[field][0]!r} gives the unit "
                            f"{name_unit}, the unit chosen is {chosen_unit}")
                    unit = name_unit or chosen_unit
                elif field in REQUIRED:
                    raise QgsProcessingException(
                        f"{field}: no field named {field} (case aside); choose a field"
                        + (" or a layer" if each.climate else ""))
                if field in sources and unit is not None:
                    units[field] = unit
        return sources, units

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802
        source = self.parameterAsSource(parameters, "INPUT", context)
        if source is None:
            raise QgsProcessingException("INPUT: no soil map")
        sources, units = self._sources(parameters, context, source)
        output_unit = self.parameterAsEnumString(parameters, "output_unit", context)
        all_values = self.parameterAsBool(parameters, "all_values", context)
        added = [name for name, _ in RESULTS
                 if name != "method" and (all_values or name in MAIN_RESULTS)]
        new_fields = QgsFields()
        for name in added:
            new_fields.append(QgsField(name, QVariant.Double))
        new_fields.append(QgsField("method", QVariant.String))
        new_fields.append(QgsField("status", QVariant.Int))
        new_fields.append(QgsField("status_text", QVariant.String))
        fields = QgsProcessingUtils.combineFields(source.fields(), new_fields)
        sink, sink_id = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                             source.wkbType(), source.sourceCrs())
        if sink is None:
            raise QgsProcessingException("OUTPUT: cannot be created")
        samplers = {field: (layer.dataProvider(), QgsCoordinateTransform(
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
                self._write(chunk, attribute_of, samplers, units, output_unit, added, sink)
                done += len(chunk)
                chunk = []
                feedback.setProgress(100.0 * done / total)
        if chunk and not feedback.isCanceled():
            self._write(chunk, attribute_of, samplers, units, output_unit, added, sink)
        return {"OUTPUT": sink_id}

    @staticmethod
    def _write(chunk, attribute_of, samplers, units, output_unit, added, sink):
        """Computes a chunk of features and adds them to ``sink`` with their results."""
        import pandas as pd

        columns = {}
        for field, index in attribute_of.items():
            columns[field] = [_value(feature.attributes()[index]) for feature in chunk]
        for field, (provider, transform) in samplers.items():
            columns[field] = [_sample(provider, transform, feature) for feature in chunk]
        frame = pd.DataFrame({f"{field} [{units[field]}]" if field in units else field: values
                              for field, values in columns.items()})
        result = recharge.balance_frame(frame, output_units=output_unit)
        result.columns = [column.split(" [")[0] for column in result.columns]
        for row, feature in enumerate(chunk):
            status = result["status"].iat[row]
            values = [float(result[name].iat[row]) for name in added]
            method = result["method"].iat[row]
            out = QgsFeature(feature)
            out.setAttributes(feature.attributes() + [
                None if math.isnan(value) else value for value in values] + [
                method if isinstance(method, str) else None,
                _STATUS_CODE.get(status, _INPUT_ERROR), status])
            sink.addFeature(out, QgsFeatureSink.FastInsert)


def _sample(provider, transform, feature):
    """Band 1 of a raster at the feature's centroid, NaN where it has no data."""
    geometry = feature.geometry()
    if geometry.isNull():
        return np.nan
    try:
        point = transform.transform(geometry.centroid().asPoint())
    except QgsCsException:
        return np.nan
    value, found = provider.sample(point, 1)
    return value if found else np.nan
