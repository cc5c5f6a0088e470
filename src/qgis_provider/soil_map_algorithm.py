"""Recharge of a soil map: recharge.balance_frame on the features of a vector
layer, read as the rows of a table, into a copy of the layer with the results
added to every feature's attributes.

An input comes from the field chosen for it, else (a climate input) from the
raster layers chosen for it, sampled at each feature's centroid, else from
the field named as the table's column (``P``, ``zgw``, ``class``, ``rain4``,
..., case aside). A unit in a field's name, ``P [mm]``, is the field's unit,
found by name or chosen; a unit chosen other than the default must agree
with it. An empty attribute or a sample without data is the table's empty
cell: in a required input the feature's status is ``input error: P: no
value``.
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
    unit_parameter,
)
from .recharge_algorithm import RechargeAlgorithm

#: Features computed at a time, between two looks at the cancel button.
CHUNK_FEATURES = 10000

#: The results of numbers, then those of text (the method), in the table's order.
_VALUES = tuple(each for each in recharge.RESULTS if not each.text)
_TEXTS = tuple(each for each in recharge.RESULTS if each.text)


def layer_parameter(name):
    """The id of the raster layers a climate input ``name`` is sampled from."""
    return f"{name}_layer"


def _by_table_name(names):
    """{field: attribute name} of the attributes named as a table's column,
    case aside, by recharge-table's rules; a field that two attributes name is
    left out, as the table refuses it."""
    found = {}
    for name in names:
        found.setdefault(recharge.field_named(name), []).append(name)
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
        "centroid (band 1); else from the field named as the table's column (P, zgw, "
        "class, rain4, ..., case aside). A unit in a field's name (P [mm]) is the field's "
        "unit, a unit chosen other than the default must agree with it. An empty value of "
        "a required input is the input error 'P: no value'.")
    OUTPUTS_HOW = (
        "The result is a copy of the layer, every feature in its order with its "
        "attributes, and fields added: ETa, R, method, status and status_code, with 'all "
        "values' also the others:")
    OUTPUTS = tuple((each.name, each.description) for each in _VALUES + _TEXTS) + (
        ("status", "ok, or what went wrong (input error: class: 35 is not a soil class (0 to "
                   "34), ...)"),
        ("status_code", "code of the status (below)"))

    def initAlgorithm(self, config=None):  # noqa: N802
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", "Soil map",
            [QgsProcessing.TypeVectorPoint, QgsProcessing.TypeVectorPolygon]))
        for each in INPUTS:
            parameters = [QgsProcessingParameterField(
                field, f"{each.label}: field {field}" if each.series else
                f"{each.label}, field", parentLayerParameterName="INPUT",
                optional=True) for field in each.fields]
            if each.series:
                parameters.append(QgsProcessingParameterMultipleLayers(
                    layer_parameter(each.name),
                    f"{each.label}, sampled ({len(each.fields)} layers)",
                    QgsProcessing.TypeRaster, optional=True))
            elif each.climate:
                parameters.append(QgsProcessingParameterRasterLayer(
                    layer_parameter(each.name), f"{each.label}, sampled from a layer",
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
            "all_values", f"All values ({others})", False))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", "Recharge"))

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
            chosen = (self.parameterAsEnumString(parameters, unit_parameter(each.name), context)
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
                        f"{field}: give a field or a layer, not both")
                if attribute and attribute not in names:
                    raise QgsProcessingException(f"{field}: the layer has no field "
                                                 f"{attribute!r}")
                attribute = attribute or (None if layers else named.get(field))
                unit = given
                if attribute:
                    sources[field] = ("field", attribute)
                    try:
                        unit = recharge.column_unit(attribute, field, given, "the unit chosen")
                    except ValueError as error:
                        raise QgsProcessingException(
                            f"{field}: the field {attribute!r}: "
                            + str(error).removeprefix(f"{attribute}: ")) from None
                elif layers:
                    sources[field] = ("layer", layers[month])
                elif each.required:
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
        output_units = self.parameterAsEnumString(parameters, "output_units", context)
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
