"""What the provider's algorithms share: their group in the toolbox, their
names, icon and help from each algorithm's own texts, the units' check, and a
new instance for each run."""

import pathlib

from qgis.core import QgsProcessingAlgorithm, QgsProcessingParameterEnum
from qgis.PyQt.QtGui import QIcon

from .model_inputs import help_text, tr, unit_value


def icon():
    """The plugin's icon: the soil, the groundwater below and a drop seeping down."""
    return QIcon(str(pathlib.Path(__file__).with_name("icon.svg")))


class RechargeAlgorithm(QgsProcessingAlgorithm):
    #: The algorithm's id after "recharge:", its title, and its help's words
    #: on where the inputs come from and what the results are, then (name,
    #: meaning, unit) of each result.
    NAME = DISPLAY_NAME = INPUTS_HOW = OUTPUTS_HOW = ""
    OUTPUTS = ()

    def name(self):
        return self.NAME

    def displayName(self):  # noqa: N802 (QGIS's names)
        return tr(self.DISPLAY_NAME)

    def icon(self):
        return icon()

    def shortHelpString(self):  # noqa: N802
        return help_text(tr(self.INPUTS_HOW), tr(self.OUTPUTS_HOW), self.OUTPUTS)

    def group(self):
        return tr("Water balance")

    def groupId(self):  # noqa: N802
        return "balance"

    def checkParameterValues(self, parameters, context):  # noqa: N802
        """QGIS's checks, a unit taken by its text or its number in the list;
        a unit that is neither names the units taken."""
        parameters = dict(parameters)
        for each in self.parameterDefinitions():
            if (isinstance(each, QgsProcessingParameterEnum)
                    and parameters.get(each.name()) not in (None, "")):
                unit = unit_value(self, parameters, each.name(), context)
                if unit not in each.options():
                    return False, tr("{}: {!r} is not one of {} (or its number, 0 to {})").format(
                        each.name(), parameters[each.name()], ", ".join(each.options()),
                        len(each.options()) - 1)
                parameters[each.name()] = unit
        return super().checkParameterValues(parameters, context)

    def createInstance(self):  # noqa: N802
        return type(self)()
