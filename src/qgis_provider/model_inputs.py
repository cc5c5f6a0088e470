"""The model's inputs and results as both algorithms offer them: what each
input means, the units a user may choose for it (the first the model's own),
and the help text that lists them with the statuses and an example.

    INPUTS[0] -> Input("P", "Annual precipitation", ANNUAL_UNITS, ...)
    unit_parameter("P") -> "P_unit"
"""

from dataclasses import dataclass

from qgis.core import (
    QgsProcessingException,
    QgsProcessingParameterDefinition,
    QgsProcessingParameterEnum,
)

import recharge

# The units offered for each kind of input, every one read by the package's
# UDUNITS-2 rules; the first is the model's, the default.
ANNUAL_UNITS = ("cm/a", "mm/a", "m/a", "kg m-2 a-1", "mm d-1", "kg m-2 s-1")
TOTAL_UNITS = ("cm", "mm", "m", "kg m-2")
DEPTH_UNITS = ("cm", "mm", "m")
OUTPUT_UNITS = ("cm", "mm")


@dataclass(frozen=True)
class Input:
    """One input of the model: ``name`` its field (``rain`` and ``etp`` the
    six months April to September), ``units`` the choices of its unit (None:
    in the model's unit only), ``climate`` whether a soil map may sample it
    from raster layers, ``advanced`` whether the dialogs fold it away."""

    name: str
    description: str
    units: tuple = None
    climate: bool = False
    advanced: bool = False

    @property
    def months(self):
        """The fields of a monthly series (``rain4`` ... ``rain9``), or None."""
        return recharge._core.MONTH_FIELDS.get(self.name)


INPUTS = (
    Input("P", "Annual precipitation", ANNUAL_UNITS, climate=True),
    Input("ETp", "Annual potential evapotranspiration", ANNUAL_UNITS, climate=True),
    Input("Ps", "Summer precipitation (April to September)", TOTAL_UNITS, climate=True),
    Input("ETps", "Summer potential evapotranspiration", TOTAL_UNITS, climate=True),
    Input("zr", "Root zone depth", DEPTH_UNITS),
    Input("zgw", "Depth to groundwater below the surface", DEPTH_UNITS),
    Input("class", "Soil class (1 to 34; 0: own parameters)"),
    Input("Cs", "Coefficient of simultaneity (1; else from the months)", climate=True),
    Input("rain", "Monthly rain, April to September", TOTAL_UNITS, climate=True,
          advanced=True),
    Input("etp", "Monthly potential evapotranspiration, April to September", TOTAL_UNITS,
          climate=True, advanced=True),
    Input("theta_r", "Own residual water content (cm3/cm3, class 0)", advanced=True),
    Input("theta_s", "Own saturated water content (cm3/cm3, class 0)", advanced=True),
    Input("alpha", "Own van Genuchten alpha (1/cm, class 0)", advanced=True),
    Input("n", "Own van Genuchten n (1, class 0)", advanced=True),
    Input("p1", "Own coefficient of the capillary rise estimate (class 0)", advanced=True),
    Input("p2", "Own exponent of the capillary rise estimate (class 0)", advanced=True),
    Input("anaerobiosis", "Severe anaerobiosis expected (1) or not (0)", advanced=True),
)

REQUIRED = ("P", "ETp", "Ps", "ETps", "zr", "zgw", "class")
OWN_PARAMETERS = ("theta_r", "theta_s", "alpha", "n", "p1", "p2")

#: The argument of recharge.balance for each input that is not named as it.
ARGUMENT = {"class": "soil_class"}

#: (name, description) of every value result, then method and status.
RESULTS = tuple((name, description) for name, _, description, _ in recharge._core.RESULT_COLUMNS)

#: The results every run gives; the others are asked for.
MAIN_RESULTS = ("ETa", "R")


def unit_parameter(name):
    """The id of the parameter of ``name``'s unit."""
    return f"{name}_unit"


def monthly_layers(algorithm, parameters, parameter, each, context):
    """The layers of the monthly series ``each`` given as ``parameter``: six,
    April to September, or none; QgsProcessingException for another number."""
    layers = algorithm.parameterAsLayerList(parameters, parameter, context)
    if layers and len(layers) != 6:
        raise QgsProcessingException(
            f"{each.name}: 6 layers are needed, April to September, not {len(layers)}")
    return layers


def add_unit_parameter(algorithm, each, advanced):
    """The list of ``each``'s units, where it has a unit, its id ``P_unit``."""
    if each.units:
        unit = QgsProcessingParameterEnum(unit_parameter(each.name), f"Unit of {each.name}",
                                          options=list(each.units), defaultValue=each.units[0])
        unit.setUsesStaticStrings(True)
        if advanced:
            unit.setFlags(unit.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
        algorithm.addParameter(unit)


def add_output_unit_parameter(algorithm):
    """The list of the results' lengths, its id ``output_unit``."""
    unit = QgsProcessingParameterEnum("output_unit", "Length of Wmax, ETa and R",
                                      options=list(OUTPUT_UNITS), defaultValue=OUTPUT_UNITS[0])
    unit.setUsesStaticStrings(True)
    algorithm.addParameter(unit)


def help_text(inputs_how, outputs_how):
    """The help of an algorithm: its inputs and how it takes them
    (``inputs_how``), every input with its meaning and units, the results
    (``outputs_how``), the statuses and an example."""
    rows = "".join(
        f"<li><b>{each.name}</b>: {each.description}"
        + (f"; in {', '.join(each.units)} (default {each.units[0]})" if each.units else "")
        + ("" if each.name in REQUIRED else "; optional")
        + "</li>"
        for each in INPUTS)
    results = "".join(f"<li><b>{name}</b>: {description}</li>" for name, description in RESULTS)
    statuses = "".join(f"<li>{code}: {text}</li>" for code, text in enumerate(recharge.STATUSES))
    return (
        f"<p>The long-term average annual actual evapotranspiration (ETa) and groundwater "
        f"recharge (R = P - ETa) of grass-covered soils on sites without fast runoff, by the "
        f"model of recharge-table (recharge {recharge.__version__}), bit for bit.</p>"
        f"<p>{inputs_how}</p><ul>{rows}</ul>"
        f"<p>Cs, where not given, comes from the monthly rain and potential "
        f"evapotranspiration; the own parameters are read for class 0.</p>"
        f"<p>{outputs_how}</p><ul>{results}</ul>"
        f"<p>Status codes:</p><ul>{statuses}</ul>"
        f"<p>Example: P 60 cm/a, ETp 55 cm/a, Ps 30 cm, ETps 40 cm, Cs 0.3, zr 60 cm, "
        f"zgw 200 cm, class 1 give ETa 48.79 cm/a and R 11.21 cm/a (bagrov, ok).</p>")
