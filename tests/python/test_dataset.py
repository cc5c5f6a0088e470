"""recharge.balance_dataset on grids: broadcasting by dimension name, one
task per chunk, the CRS kept."""

import numpy as np
import pytest

import recharge
from recharge import _dataset

xr = pytest.importorskip("xarray")

X = 500000.0 + 100.0 * np.arange(6)
Y = 5700000.0 - 100.0 * np.arange(4)


def region():
    """A 4 x 6 grid: P and class on (y, x), zr along x, the rest scalars."""
    rng = np.random.default_rng(7)
    return xr.Dataset(
        {"P": (("y", "x"), rng.uniform(40, 100, (4, 6))),
         "class": (("y", "x"), rng.integers(1, 35, (4, 6)).astype(np.uint8)),
         "zr": ("x", rng.uniform(30, 90, 6)),
         "ETp": 55.0, "Ps": 30.0, "ETps": 40.0, "Cs": 0.3, "zgw": 250.0},
        coords={"x": X, "y": Y})


def test_broadcast_by_dimension_name():
    ds = region().transpose("x", "y")  # the grid's axes in the other order
    out = recharge.balance_dataset(ds)
    ref = recharge.balance(ds.P.values, 55.0, 30.0, 40.0, ds.zr.values[:, None], 250.0,
                           ds["class"].values, Cs=0.3)
    assert out.R.dims == ("x", "y")
    np.testing.assert_array_equal(out.R.values, ref.R)
    np.testing.assert_array_equal(out.status_code.values, ref.status_code)
    assert out.Wmax.attrs == {"long_name": "maximum plant-available water storage of the "
                                           "root zone", "units": "cm"}
    assert out.status_code.attrs["flag_meanings"].split()[:4] == [
        "ok", "no_convergence", "no_data", "input_error"]
    assert list(out.status_code.attrs["flag_values"]) == list(range(len(recharge.STATUSES)))


def test_one_task_for_each_chunk(monkeypatch):
    pytest.importorskip("dask")
    calls = []
    block = _dataset._balance_block
    monkeypatch.setattr(_dataset, "_balance_block", lambda *a, **k: calls.append(1) or block(*a, **k))
    lazy = recharge.balance_dataset(region().chunk({"x": 2, "y": 2}))  # 2 x 3 chunks
    assert not calls and lazy.R.chunks == ((2, 2), (2, 2, 2))
    computed = lazy.compute(scheduler="synchronous")
    assert len(calls) == 6
    xr.testing.assert_identical(computed, recharge.balance_dataset(region()))


def test_the_crs_is_kept():
    pytest.importorskip("rioxarray")
    ds = region()
    ds["zr"] = ds.zr.broadcast_like(ds.P)  # rioxarray wants every variable on the grid
    for name in ("ETp", "Ps", "ETps", "Cs", "zgw"):
        ds[name] = ds.P * 0 + ds[name]
    ds = ds.rio.write_crs("EPSG:25832")
    out = recharge.balance_dataset(ds)
    assert out.R.rio.crs.to_epsg() == 25832 and out.R.attrs["grid_mapping"] == "spatial_ref"
    assert out.R.rio.transform() == ds.P.rio.transform()
