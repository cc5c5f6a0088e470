"""What the provider's algorithms share: their group in the toolbox, their
names and help from each algorithm's own texts, and a new instance for each
run."""

from qgis.core import QgsProcessingAlgorithm

from .model_inputs import help_text


class RechargeAlgorithm(QgsProcessingAlgorithm):
    #: The algorithm's id after "recharge:", its title, and its help's words
    #: on where the inputs come from and what the results are, then (name,
    #: meaning) of each result.
    NAME = DISPLAY_NAME = INPUTS_HOW = OUTPUTS_HOW = ""
    OUTPUTS = ()

    def name(self):
        return self.NAME

    def displayName(self):  # noqa: N802 (QGIS's names)
        return self.DISPLAY_NAME

    def shortHelpString(self):  # noqa: N802
        return help_text(self.INPUTS_HOW, self.OUTPUTS_HOW, self.OUTPUTS)

    def group(self):
        return "Water balance"

    def groupId(self):  # noqa: N802
        return "balance"

    def createInstance(self):  # noqa: N802
        return type(self)()
