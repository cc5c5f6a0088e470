"""The QGIS plugin of recharge: a Processing provider over the Python package
recharge, whose algorithms run the model on raster layers (a grid) and on a
vector layer (a soil map)."""


def classFactory(iface):  # noqa: N802 (QGIS's name)
    """The plugin object QGIS asks every plugin for."""
    from .plugin import RechargePlugin

    return RechargePlugin()
