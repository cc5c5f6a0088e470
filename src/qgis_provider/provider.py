"""The Processing provider ``recharge``: the toolbox's group of the model."""

from qgis.core import QgsProcessingProvider

from .grid_algorithm import GridRecharge
from .raster_blocks import writable_extensions
from .recharge_algorithm import icon
from .soil_map_algorithm import SoilMapRecharge


class RechargeProvider(QgsProcessingProvider):
    def id(self):
        return "recharge"

    def name(self):
        return "Recharge"

    def icon(self):
        return icon()

    def longName(self):  # noqa: N802 (QGIS's name)
        import recharge

        return f"Recharge {recharge.__version__}"

    def supportedOutputRasterLayerExtensions(self):  # noqa: N802
        return writable_extensions()

    def loadAlgorithms(self):  # noqa: N802
        self.addAlgorithm(GridRecharge())
        self.addAlgorithm(SoilMapRecharge())
