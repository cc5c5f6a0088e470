"""What the provider's algorithms share: their group in the toolbox, and a
new instance for each run."""

from qgis.core import QgsProcessingAlgorithm


class RechargeAlgorithm(QgsProcessingAlgorithm):
    def group(self):
        return "Water balance"

    def groupId(self):  # noqa: N802 (QGIS's name)
        return "balance"

    def createInstance(self):  # noqa: N802
        return type(self)()
