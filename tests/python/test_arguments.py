"""recharge.balance's arguments: broadcasting, the types it reads, the errors
it raises before any work; balance_frame's columns; pickling."""

import pickle
import warnings

import numpy as np
import pytest

import recharge
from conftest import VALUES, same_bits

SITE = dict(P=60.0, ETp=55.0, Ps=30.0, ETps=40.0, zr=60.0, zgw=200.0, soil_class=1)


def run(**changes):
    return recharge.balance(**{**SITE, **changes})


def test_broadcasting_matches_each_cell():
    P = np.array([[50.0], [70.0]])
    zr = np.array([30.0, 60.0, 90.0])
    rain = np.arange(6.0)  # months: no Cs, derived from the months
    etp = np.array([[[8.0, 9, 10, 11, 9, 7]], [[7.0, 8, 9, 10, 8, 6]]])  # (2, 1, 6)
    grid = run(P=P, zr=zr, rain=rain, etp=etp, anaerobiosis=[0, 1, 0])
    assert grid.shape == (2, 3) and grid.status_code.dtype == np.uint8
    for i in range(2):
        for j in range(3):
            cell = run(P=P[i, 0], zr=zr[j], rain=rain, etp=etp[i, 0], anaerobiosis=j == 1)
            for name in VALUES + ["method_code", "status_code"]:
                assert same_bits(getattr(grid, name)[i, j], getattr(cell, name)), name


def test_integer_inputs_give_the_float_results():
    ints = run(P=np.array([60, 45], np.int32), zr=np.array([60, 90]), zgw=200,
               soil_class=np.array([1, 24], np.uint8), anaerobiosis=np.array([True, False]))
    floats = run(P=np.array([60.0, 45.0]), zr=np.array([60.0, 90.0]), zgw=200.0,
                 soil_class=np.array([1.0, 24.0]), anaerobiosis=np.array([1.0, 0.0]))
    for name in VALUES + ["method_code", "status_code"]:
        assert same_bits(getattr(ints, name), getattr(floats, name)), name


@pytest.mark.parametrize("threads", [1, 2, 3])
def test_threads_do_not_change_the_results(threads):
    zr = np.linspace(-20, 200, 2001)  # faults and results
    one, many = run(zr=zr, Cs=0.3, threads=1), run(zr=zr, Cs=0.3, threads=threads)
    for name in VALUES + ["status_code"]:
        assert same_bits(getattr(one, name), getattr(many, name)), name


@pytest.mark.parametrize("changes, error, named", [
    ({"P": np.array(["60", "50"])}, TypeError, "P"),
    ({"Cs": [0.3, "x"]}, TypeError, "Cs"),
    ({"soil_class": 1 + 2j}, TypeError, "soil_class"),
    ({"P": np.ones(2), "zr": np.ones(3)}, ValueError, "zr"),
    ({"rain": np.ones(5), "etp": np.ones(6)}, ValueError, "rain"),
    ({"etp": 5.0}, ValueError, "etp"),
    ({"threads": -1}, ValueError, "threads"),
    ({"threads": 0}, ValueError, "threads"),
    ({"threads": 1.5}, TypeError, "threads"),
])
def test_wrong_arguments_are_refused(changes, error, named):
    with pytest.raises(error, match=named):
        run(**changes)


def test_status_texts():
    result = run(P=[60, np.nan, 60, 60], zr=[60, 60, np.inf, 60], soil_class=[1, 1, 1, 35],
                 Cs=0.3)
    assert list(result.status) == [
        "ok", "no data", "input error: zr: inf is not a finite number",
        "input error: class: 35 is not a soil class (0 to 34)"]
    assert list(result.method_code) == [0, 2, 2, 2]
    assert list(result.method) == ["bagrov", "", "", ""]


def test_result_and_functions_pickle():
    result = run(zr=[60, 60, -60], soil_class=[1, 35, 1], Cs=0.3)
    again = pickle.loads(pickle.dumps(result))
    assert list(again.status) == list(result.status)
    assert same_bits(again.R, result.R)
    for function in (recharge.balance, recharge.balance_frame, recharge.balance_dataset):
        assert pickle.loads(pickle.dumps(function)) is function


def test_frame_columns():
    pd = pytest.importorskip("pandas")
    frame = pd.DataFrame({"p": [60.0], "ETP": [55.0], "Ps": [30.0], "ETps": [40.0],
                          "CS": [0.3], "zr": [60.0], "zgw": [200.0], "CLASS": [1],
                          "clas": [2], "note": ["x"]})
    with pytest.warns(UserWarning, match=r"^ignoring the columns clas \(did you mean "
                                         r"class\?\), note$"):
        out = recharge.balance_frame(frame)
    assert out.status[0] == "ok" and out.R[0] == run(Cs=0.3).R
    with pytest.raises(ValueError, match=r"no column zr \(it has z_r\), no column class$"):
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            recharge.balance_frame(frame.drop(columns=["zr", "CLASS"]).rename(columns={"clas": "z_r"}))
    with pytest.raises(ValueError, match="the column P twice"):
        recharge.balance_frame(frame.assign(P=1.0))
    # Text cells are read as the table reads them, not refused for the frame.
    texts = recharge.balance_frame(frame.assign(zr="60").drop(columns=["clas", "note"]))
    assert texts.status[0] == "ok" and texts.R[0] == out.R[0]
