"""examples/regional_recharge.py runs, and its recharge grid keeps the
inputs' CRS and transform."""

import subprocess
import sys
from pathlib import Path

import pytest

EXAMPLE = Path(__file__).resolve().parents[2] / "examples" / "regional_recharge.py"


@pytest.mark.filterwarnings("ignore::DeprecationWarning")
def test_regional_recharge(tmp_path):
    rioxarray = pytest.importorskip("rioxarray")
    for module in ("distributed", "matplotlib"):
        pytest.importorskip(module)
    run = subprocess.run([sys.executable, str(EXAMPLE), str(tmp_path)], capture_output=True,
                         text=True, timeout=300)
    assert run.returncode == 0, run.stderr
    assert "no data: " in run.stdout and (tmp_path / "R.png").stat().st_size > 0
    R = rioxarray.open_rasterio(tmp_path / "R.tif")
    P = rioxarray.open_rasterio(tmp_path / "P.tif")
    assert R.rio.crs.to_epsg() == 25832 and R.rio.transform() == P.rio.transform()
    assert R.shape == P.shape
