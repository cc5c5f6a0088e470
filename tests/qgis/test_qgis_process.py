"""recharge:grid from the command line, by qgis_process.bin with the plugin
found on QGIS_PLUGINPATH and enabled in a profile of its own (Debian's
qgis_process wrapper of QGIS 3.22 passes an option the program refuses)."""

import os
import pathlib
import subprocess

import numpy as np
from conftest import read_raster, write_raster

import recharge
import recharge_processing


def test_qgis_process_runs_the_grid_algorithm(tmp_path):
    rain = np.array([[60.0, 45.0], [np.nan, 90.0]])
    environment = dict(os.environ, HOME=str(tmp_path), QT_QPA_PLATFORM="offscreen",
                       QGIS_PLUGINPATH=str(pathlib.Path(recharge_processing.__file__).parents[1]))
    subprocess.run(["qgis_process.bin", "plugins", "enable", "recharge_processing"],
                   env=environment, check=True, capture_output=True)
    run = subprocess.run(
        ["qgis_process.bin", "run", "recharge:grid", "--",
         f"P={write_raster(tmp_path / 'P.tif', rain)}", "ETp_value=55", "Ps_value=30",
         "ETps_value=40", "zr_value=60", "zgw_value=200", "class_value=1", "Cs_value=0.3",
         f"R={tmp_path / 'R.tif'}"],
        env=environment, capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    assert "ok: 3 cells" in run.stdout and "no data: 1 cell" in run.stdout
    expected = recharge.balance(rain, 55, 30, 40, 60, 200, 1, Cs=0.3)
    assert np.array_equal(read_raster(tmp_path / "R.tif")[0],
                          np.where(expected.status == 0, expected.R, -9999.0))
