"""The model's inputs and results as both algorithms offer them, all from the
package's tables (recharge.INPUTS, SERIES, RESULTS, STATUSES, METHODS): each
input one field of the table or one monthly series, with its label, the units
a user may choose for it (the first the model's own), and the help text that
lists them with the statuses and an example.

    INPUTS[0] -> Input("P", "Annual precipitation", ("P",), ("cm/a", "mm/a", ...), ...)
    unit_parameter("P") -> "P_unit"
"""

from dataclasses import dataclass

from qgis.core import (
    QgsProcessingException,
    QgsProcessingParameterDefinition,
    QgsProcessingParameterEnum,
)
from qgis.PyQt.QtCore import QCoreApplication

import recharge


def tr(text):
    """``text`` in the language of QGIS, where the plugin has it."""
    return QCoreApplication.translate("recharge", text)


@dataclass(frozen=True)
class Input:
    """One input of the dialogs: ``name`` a field of the table or a monthly
    series (``rain``), ``fields`` its fields (``rain4`` ... ``rain9``),
    ``label`` its meaning, ``units`` the choices of its unit (empty: in the
    model's unit only), ``group`` the table's (``climate``, ``own
    parameter``, ...), ``argument`` the argument of recharge.balance."""

    name: str
    argument: str
    label: str
    fields: tuple
    units: tuple
    group: str
    required: bool

    @property
    def series(self):
        """Whether it is a monthly series, six fields April to September."""
        return self.fields != (self.name,)

    @property
    def climate(self):
        """Whether a soil map may sample it from raster layers."""
        return self.group == "climate"

    @property
    def advanced(self):
        """Whether the dialogs fold it away: every optional input but a single climate value."""
        return not self.required and (self.series or not self.climate)


def _label(description):
    return description[:1].upper() + description[1:]


def _inputs():
    """The table's inputs in its order, each monthly series at its first month."""
    series_of = {field: series for series in recharge.SERIES for field in series.fields}
    inputs = []
    for each in recharge.INPUTS:
        series = series_of.get(each.name)
        if series is None:
            inputs.append(Input(each.name, each.argument, _label(each.description), (each.name,),
                                each.units, each.group, each.required))
        elif each.name == series.fields[0]:
            inputs.append(Input(series.name, series.name, _label(series.description),
                                series.fields, each.units, each.group, each.required))
    return tuple(inputs)


INPUTS = _inputs()

#: The results every run gives, the annual amounts (ETa and R); the others are asked for.
MAIN_RESULTS = tuple(each.name for each in recharge.RESULTS if each.unit.endswith("/a"))

#: The lengths the results that follow ``output_units`` may take, the model's first.
OUTPUT_UNITS = next(each.units for each in recharge.INPUTS if each.quantity == "length")


def result_unit(each):
    """The unit of the result column ``each`` as the help gives it: a length
    in each of the output units (``cm/a, mm/a or m/a``)."""
    if not each.in_length:
        return each.unit
    *others, last = [each.unit.replace(OUTPUT_UNITS[0], unit, 1) for unit in OUTPUT_UNITS]
    return tr("{} or {}, as output_units").format(", ".join(others), last)


def unit_parameter(name):
    """The id of the parameter of ``name``'s unit."""
    return f"{name}_unit"


def monthly_layers(algorithm, parameters, parameter, each, context):
    """The layers of the monthly series ``each`` given as ``parameter``: six,
    April to September, or none; QgsProcessingException for another number."""
    layers = algorithm.parameterAsLayerList(parameters, parameter, context)
    if layers and len(layers) != len(each.fields):
        raise QgsProcessingException(
            tr("{}: {} layers are needed, April to September, not {}").format(
                each.name, len(each.fields), len(layers)))
    return layers


def unit_value(algorithm, parameters, parameter, context):
    """The unit chosen as ``parameter`` (``P_unit``), by its text or by its
    number in the list, as ``qgis_process help`` shows them; a unit that is
    written as a number (the unit ``1``) is that unit, but a Python int is
    its number."""
    options = algorithm.parameterDefinition(parameter).options()
    value = parameters.get(parameter)
    text = algorithm.parameterAsString(parameters, parameter, context)
    if isinstance(value, int) or (text not in options and text.isdigit()):
        return options[int(text)] if int(text) < len(options) else text
    return text


def add_unit_parameter(algorithm, each):
    """The list of ``each``'s units, where it has a choice of units, its id ``P_unit``."""
    if each.units:
        unit = QgsProcessingParameterEnum(unit_parameter(each.name),
                                          tr("Unit of {}").format(each.name),
                                          options=list(each.units), defaultValue=each.units[0])
        unit.setUsesStaticStrings(True)
        if each.advanced:
            unit.setFlags(unit.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
        algorithm.addParameter(unit)


def add_output_units_parameter(algorithm):
    """The list of the results' lengths, its id ``output_units``."""
    *others, last = [each.name for each in recharge.RESULTS if each.in_length]
    unit = QgsProcessingParameterEnum("output_units",
                                      tr("Length of {} and {}").format(", ".join(others), last),
                                      options=list(OUTPUT_UNITS), defaultValue=OUTPUT_UNITS[0])
    unit.setUsesStaticStrings(True)
    algorithm.addParameter(unit)


def help_text(inputs_how, outputs_how, results):
    """The help of an algorithm: its inputs and how it takes them
    (``inputs_how``), every input with its meaning and units, the results
    (``outputs_how``, then ``results``, (name, meaning, unit) each), the statuses
    and an example."""
    rows = "".join(
        f"<li><b>{each.name}</b>: {each.label}"
        + (tr("; in {} (default {})").format(", ".join(each.units), each.units[0])
           if each.units else "")
        + (tr("; required") if each.required else tr("; optional"))
        + "</li>"
        for each in INPUTS)
    listed = "".join(f"<li><b>{name}</b>: {meaning}"
                     + (tr("; in {}").format(unit) if unit else "")
                     + "</li>" for name, meaning, unit in results)
    statuses = "".join(f"<li>{code}: {text}</li>" for code, text in enumerate(recharge.STATUSES))
    return (
        "<p>" + tr("The long-term average annual actual evapotranspiration (ETa) and "
                   "groundwater recharge (R = P - ETa) of grass-covered soils on sites without "
                   "fast runoff, by the model of recharge-table (recharge {}), bit for bit.")
        .format(recharge.__version__) + "</p>"
        f"<p>{inputs_how}</p><ul>{rows}</ul>"
        "<p>" + tr("Cs, where not given, comes from the monthly rain and potential "
                   "evapotranspiration; the own parameters are read for class 0.") + "</p>"
        f"<p>{outputs_how}</p><ul>{listed}</ul>"
        "<p>" + tr("Status codes:") + f"</p><ul>{statuses}</ul>"
        "<p>" + tr("Example: P 60 cm/a, ETp 55 cm/a, Ps 30 cm, ETps 40 cm, Cs 0.3, zr 60 cm, "
                   "zgw 200 cm, class 1 give ETa 48.79 cm/a and R 11.21 cm/a (bagrov, ok).")
        + "</p>")
