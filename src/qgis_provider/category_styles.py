"""The rasters of status and method codes drawn as named categories when QGIS
loads them: each code its colour and its text in the legend (``0 ok``, ``2 no
data``, ``M6103 ...``)."""

from qgis.core import QgsPalettedRasterRenderer, QgsProcessingLayerPostProcessorInterface
from qgis.PyQt.QtGui import QColor

import recharge

_STATUS_COLOURS = {"ok": "#1a9850", "no convergence": "#fdae61", "no data": "#bdbdbd",
                   "input error": "#d73027"}
_FAULT_COLOUR = "#762a83"
_METHOD_COLOURS = {"bagrov": "#2166ac", "hydropedotransfer": "#4eb3d3"}


def _classes(texts, colours, default):
    return [QgsPalettedRasterRenderer.Class(code, QColor(colours.get(text, default)), text)
            for code, text in enumerate(texts) if text]


class CategoryStyle(QgsProcessingLayerPostProcessorInterface):
    """Draws a loaded raster of status or method codes by its categories."""

    # Processing keeps a pointer only: the styles, one of each kind for every
    # run, live as long as the module.
    _kept = {}

    def __init__(self, classes):
        super().__init__()
        self._classes = classes

    @classmethod
    def of(cls, name):
        """The style of the result ``name`` (``"status_code"`` or ``"method_code"``)."""
        if name not in cls._kept:
            cls._kept[name] = cls(
                _classes(recharge.STATUSES, _STATUS_COLOURS, _FAULT_COLOUR)
                if name == "status_code" else _classes(recharge.METHODS, _METHOD_COLOURS, ""))
        return cls._kept[name]

    def postProcessLayer(self, layer, context, feedback):  # noqa: N802 (QGIS's name)
        layer.setRenderer(QgsPalettedRasterRenderer(layer.dataProvider(), 1, self._classes))
        layer.triggerRepaint()
