"""The plugin: registers the provider with Processing, also without a GUI
(``qgis_process``), and removes it when the plugin is unloaded."""

from qgis.core import QgsApplication


class RechargePlugin:
    def __init__(self):
        self.provider = None

    def initProcessing(self):  # noqa: N802 (QGIS's name)
        try:
            import recharge  # noqa: F401
        except ImportError as error:
            raise ImportError(
                "the plugin Recharge needs the Python package recharge on QGIS's Python path: "
                "cmake --install build/default --prefix /usr/local installs it there") from error
        from .provider import RechargeProvider

        self.provider = RechargeProvider()
        QgsApplication.processingRegistry().addProvider(self.provider)

    def initGui(self):  # noqa: N802
        self.initProcessing()

    def unload(self):
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
