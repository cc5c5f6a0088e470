"""Data as it comes: stored rasters, missing values, labels, month
dimensions, and lazy results written to files."""

import numpy as np
import pytest

import recharge
from conftest import same_bits

xr = pytest.importorskip("xarray")
pd = pytest.importorskip("pandas")

SAND = dict(P=60.0, ETp=55.0, Ps=30.0, ETps=40.0, zr=60.0, zgw=200.0, Cs=0.3)
SAND_R = recharge.balance(soil_class=1, **SAND).R


def sand(**variables):
    return xr.Dataset({**SAND, "class": 1, **variables})


def statuses(result):
    return [recharge.STATUSES[code] for code in np.ravel(result.status_code)]


@pytest.mark.filterwarnings("ignore:no units attribute")
@pytest.mark.parametrize("variable, expected", [
    (dict(zgw=xr.DataArray([200.0, -9999.0], dims="x", attrs={"_FillValue": -9999.0})),
     ["ok", "no data"]),
    (dict(zgw=xr.DataArray([200, 0], dims="x", attrs={"missing_value": [0, -1]})),
     ["ok", "no data"]),
    (dict(P=xr.DataArray([600, 600], dims="x", attrs={"scale_factor": 0.1})), ["ok", "ok"]),
    (dict(P=xr.DataArray([500.0, 5.0], dims="x", attrs={"scale_factor": 0.1, "add_offset": 10.0})),
     ["ok", "ok"]),
])
def test_stored_encodings_are_decoded(variable, expected):
    out = recharge.balance_dataset(sand(**variable))
    assert statuses(out) == expected
    assert same_bits(out.R[0], SAND_R)


@pytest.mark.parametrize("P", [
    np.ma.array([60.0, 60.0], mask=[False, True]),
    [60, None],
    pd.array([60, pd.NA], dtype="Int64"),
    pd.Series([60.0, None], dtype="Float64"),
])
def test_missing_values_are_empty_cells(P):
    result = recharge.balance(**{**SAND, "P": P}, soil_class=1)
    assert list(result.status) == ["ok", "no data"]
    assert same_bits(result.R[0], SAND_R)


def test_labels_are_never_combined_by_position():
    P = pd.Series([60.0, 45.0], index=["A", "B"])
    with pytest.raises(TypeError, match="balance_frame"):
        recharge.balance(**{**SAND, "P": P, "zr": pd.Series([60.0, 90.0], index=["B", "A"])},
                         soil_class=1)
    same = recharge.balance(**{**SAND, "P": P, "zr": pd.Series([60.0, 90.0], index=["A", "B"])},
                            soil_class=1)
    assert same_bits(same.R[0], SAND_R)
    x = xr.DataArray([60.0, 45.0], dims="x", coords={"x": [0, 1]})
    with pytest.raises(TypeError, match="balance_dataset"):
        recharge.balance(**{**SAND, "P": x, "zr": x.sortby("x", ascending=False)}, soil_class=1)


@pytest.mark.filterwarnings("ignore:no units attribute")
def test_dataset_dimensions():
    grid = sand(P=(("y", "x"), np.full((2, 3), 60.0)), ETp=(("lat", "lon"), np.full((2, 2), 55.0)))
    with pytest.warns(UserWarning, match=r"\(lat, lon; y, x\) make a grid of every combination"):
        recharge.balance_dataset(grid)
    # The months as one variable with a month dimension, as balance's month axis.
    rain, etp = np.array([5.0, 6, 7, 8, 6, 5]), np.array([4.0, 8, 10, 9, 7, 4])
    months = sand(rain=("month", rain), etp=("month", etp)).drop_vars("Cs")
    expected = recharge.balance(soil_class=1, rain=rain, etp=etp,
                                **{k: v for k, v in SAND.items() if k != "Cs"})
    assert same_bits(recharge.balance_dataset(months).R, expected.R)


@pytest.mark.filterwarnings("ignore:no units attribute")
def test_lazy_result_runs_the_model_once_per_chunk(tmp_path, monkeypatch):
    import dask

    from recharge import _dataset

    runs = []
    run = _dataset._run
    monkeypatch.setattr(_dataset, "_run", lambda *a, **k: runs.append(1) or run(*a, **k))
    grid = sand(P=(("y", "x"), np.full((40, 40), 60.0))).chunk({"y": 20, "x": 20})
    out = recharge.balance_dataset(grid)
    with dask.config.set(scheduler="synchronous"):
        out.to_netcdf(tmp_path / "out.nc")
    assert len(runs) == 4
    assert same_bits(xr.open_dataset(tmp_path / "out.nc").R.values, np.full((40, 40), SAND_R))


@pytest.mark.filterwarnings("ignore:no units attribute")
def test_months_and_unsigned_integers_as_files_store_them():
    """A month series is read by its month labels, refused with other labels
    or beside a month of its own; _Unsigned reads an int16 as unsigned."""
    rain, etp = np.array([5.0, 6, 7, 8, 6, 5]), np.array([4.0, 8, 10, 9, 7, 4])
    expected = recharge.balance(60, 55, 30, 40, 60, 200, 1, rain=rain, etp=etp)
    base = {name: value for name, value in SAND.items() if name != "Cs"}
    reversed_months = xr.Dataset({**base, "class": 1, "rain": ("month", rain[::-1]),
                                  "etp": ("month", etp[::-1])}, coords={"month": range(9, 3, -1)})
    assert same_bits(recharge.balance_dataset(reversed_months).R, expected.R)
    with pytest.raises(ValueError, match=r"label the months 4 to 9, not \[0, 1, 2, 3, 4, 5\]"):
        recharge.balance_dataset(reversed_months.assign_coords(month=range(6)))
    with pytest.raises(ValueError, match="months are given twice, also as the variable RAIN4"):
        recharge.balance_dataset(reversed_months.assign(RAIN4=5.0))
    stored = xr.DataArray(np.array([-25536, -1], np.int16), dims="x",
                          attrs={"_Unsigned": "true", "_FillValue": np.int16(-1),
                                 "scale_factor": 0.0015})  # 40000 * 0.0015 = 60 cm
    out = recharge.balance_dataset(sand(P=stored))
    assert statuses(out) == ["ok", "no data"] and same_bits(out.R[0], SAND_R)
    with pytest.raises(TypeError, match=r"a Dataset is needed, not DataArray: make one"):
        recharge.balance_dataset(sand().P)


def test_values_beyond_a_double_are_input_errors():
    """Beyond the range of a double, as an integer or in the model's unit
    (7.07e307 in is 1.8e308 cm): the cell's input error, as in the table."""
    assert recharge.balance(**{**SAND, "P": 10**400}, soil_class=1).status == (
        "input error: P: inf is not a finite number")
    inches = recharge.balance(**{**SAND, "P": 7.07e307}, soil_class=1, units={"P": "in"})
    assert inches.status == "input error: P: inf is not a finite number"
