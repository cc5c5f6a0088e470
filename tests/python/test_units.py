"""Units at the package's door: what each argument takes, the exact powers of
ten, the units that datasets carry and the results name."""

import os
import subprocess
import sys
import warnings

import numpy as np
import pytest

import recharge
from conftest import same_bits

SAND = dict(P=60.0, ETp=55.0, Ps=30.0, ETps=40.0, zr=60.0, zgw=200.0, soil_class=1, Cs=0.3)
OWN = dict(soil_class=0, theta_r=0.05, theta_s=0.4, alpha=0.02, n=1.3, p1=1000.0, p2=-2.0)
YEAR = 3.15569259747e7  # UDUNITS-2's year, s


def R(units, **values):
    return recharge.balance(**{**SAND, **values}, units=units).R


# Each value in its unit against the same value in cm (1/cm, 1) by hand:
# an exact power of ten gives the very double.
@pytest.mark.parametrize("argument, value, unit, in_model_unit", [
    ("P", 600.0, "mm", 60.0),
    ("P", 0.6, "m", 60.0),
    ("P", 600.0, "mm a-1", 60.0),  # the year, not the are
    ("P", 600.0, "mm year-1", 60.0),
    ("P", 600.0, "kg m-2", 60.0),
    ("P", 60 / (YEAR / 10), "kg m-2 s-1", 60 / (YEAR / 10) * (YEAR / 10)),
    ("Ps", 300.0, "kg m-2 a-1", 30.0),
    ("zgw", 2.0, "m", 200.0),
    ("theta_s", 40.0, "%", 0.4),
    ("alpha", 2.0, "1/m", 0.02),
])
def test_accepted(argument, value, unit, in_model_unit):
    base = {**SAND, **OWN} if argument in OWN else SAND
    given = recharge.balance(**{**base, argument: value}, units={argument: unit})
    expected = recharge.balance(**{**base, argument: in_model_unit})
    assert given.status == "ok"
    assert same_bits(given.R, expected.R)


@pytest.mark.parametrize("units, message", [
    ({"Ps": "kg m-2 s-1"}, 'Ps takes .*not "kg m-2 s-1", a mean rate: the period of Ps is not'),
    ({"zgw": "1/m"}, r'units\['),
    ({"alpha": "m"}, 'alpha takes a reciprocal length'),
    ({"P": "degC"}, 'not "degC"'),
    ({"P": "m2"}, 'not "m2"'),
    ("furlongz", 'not "furlongz", which is no unit'),
    ({"zz": "m"}, "'zz' is no argument"),
])
def test_refused(units, message):
    with pytest.raises(ValueError, match=message):
        recharge.balance(**SAND, units=units)


def test_one_unit_for_the_climate_and_depths_and_results_in_another():
    result = recharge.balance(600, 550, 300, 400, 600, 2000, 1, Cs=0.3, units="mm",
                              output_units="mm")
    sand = recharge.balance(**SAND)
    assert same_bits(result.R, sand.R * 10) and same_bits(result.Wmax, sand.Wmax * 10)
    assert result.units["R"] == "mm/year" and result.units["qmax"] == "cm/d"


def test_dataset_units_and_the_warning_for_none():
    xr = pytest.importorskip("xarray")
    mm, m = {"units": "mm"}, {"units": "m"}
    ds = xr.Dataset({"P": ((), 600.0, mm), "ETp": ((), 550.0, mm), "Ps": ((), 300.0, mm),
                     "ETps": ((), 400.0, mm), "Cs": 0.3, "zr": ((), 0.6, m),
                     "zgw": ((), 2.0, m), "class": 1})
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        out = recharge.balance_dataset(ds, output_units="mm")
    assert same_bits(out.R, recharge.balance(**SAND).R * 10)
    # The results' units read back by UDUNITS-2 as meant: mm per year, which
    # an annual total in mm agrees with.
    assert out.R.attrs["units"] == "mm/year"
    assert recharge.column_unit("P [mm]", "P", out.R.attrs["units"]) == "mm"

    with pytest.warns(UserWarning, match="no units attribute on the variables zr, zgw:"):
        recharge.balance_dataset(ds.assign(zr=60.0, zgw=200.0))
    with pytest.raises(ValueError, match='variable zgw: zgw takes a length .*not "1/m"'):
        recharge.balance_dataset(ds.assign(zgw=((), 2.0, {"units": "1/m"})))


def test_frame_reads_units_from_its_column_names():
    pd = pytest.importorskip("pandas")
    frame = pd.DataFrame({"P [mm]": [600.0], "ETp (mm)": [550.0], "Ps": [30.0], "ETps": [40.0],
                          "Cs": [0.3], "zr [m]": [0.6], "zgw": [200.0], "class": [1]})
    out = recharge.balance_frame(frame)
    assert list(out.columns)[-3:] == ["ETa", "R", "status"]
    assert out.attrs["units"]["R"] == "cm/a" and out.attrs["units"]["qmax"] == "cm/d"
    assert same_bits(out["R"].iloc[0], recharge.balance(**SAND).R)


def test_missing_unit_database_names_it():
    env = dict(os.environ, UDUNITS2_XML_PATH="/nonexistent/udunits2.xml")
    code = "import recharge; recharge.balance(600, 55, 30, 40, 60, 200, 1, Cs=0.3, units='mm')"
    run = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True)
    assert run.returncode == 1
    assert ("RuntimeError: cannot read the UDUNITS-2 unit database /nonexistent/udunits2.xml "
            "(named by UDUNITS2_XML_PATH)") in run.stderr
