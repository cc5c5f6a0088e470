"""A random table of soils with every status, and what recharge-table makes
of it: the reference the package must meet bit for bit.

The table (fixed seed) mixes ordinary soils of every class, soils of own
parameters, wet sites with a high Bagrov coefficient where the iteration does
not converge, soils that fault (ETp = 0: M6103, a negative root zone:
M6201, months all zero: M6101, theta_s - theta_r = 0.05 with anaerobiosis:
M6202, a huge p2: M6203, P = 1.7e308: M6104) and input errors (an empty
required cell, class 35 or 2.5, anaerobiosis 2, an incomplete month, class 0
without theta_s).
"""

import csv
import math
import os
import subprocess

import numpy as np
import pytest

import recharge

FIELDS = ["P", "ETp", "Ps", "ETps", "Cs"] + [f"rain{m}" for m in range(4, 10)] + [
    f"etp{m}" for m in range(4, 10)] + ["zr", "zgw", "class", "theta_r", "theta_s", "alpha",
                                        "n", "p1", "p2", "anaerobiosis"]
VALUES = ["Cs", "FC", "WP", "Wmax", "qmax", "nB", "h_an", "g", "ETa", "R"]
ROWS = 3000


def _soils(rng):
    """Column -> float64 array of ROWS soils, NaN for an empty cell."""
    u = rng.uniform
    kind = rng.choice(["plain", "wet", "own", "fault", "bad"], ROWS,
                      p=[0.55, 0.17, 0.12, 0.09, 0.07])
    t = {name: np.full(ROWS, np.nan) for name in FIELDS}
    t["P"], t["ETp"] = u(30, 120, ROWS), u(40, 80, ROWS)
    t["Ps"], t["ETps"] = u(15, 60, ROWS), u(25, 55, ROWS)
    t["zr"] = u(10, 150, ROWS)
    t["zgw"] = t["zr"] + u(0, 400, ROWS)
    t["class"] = rng.integers(1, 35, ROWS).astype(float)
    t["anaerobiosis"] = rng.choice([0.0, 1.0, np.nan], ROWS)
    has_cs = rng.random(ROWS) < 0.6
    t["Cs"] = np.where(has_cs, u(0, 1, ROWS), np.nan)
    for m in range(4, 10):
        t[f"rain{m}"] = np.where(has_cs & (rng.random(ROWS) < 0.5), np.nan, u(0, 12, ROWS))
        t[f"etp{m}"] = np.where(has_cs & (rng.random(ROWS) < 0.5), np.nan, u(3, 14, ROWS))
    wet = kind == "wet"  # P just under 2 ETp, a deep root zone of fine texture
    t["P"][wet] = t["ETp"][wet] * u(1.8, 2.0, wet.sum())
    t["zr"][wet] = u(100, 200, wet.sum())
    t["zgw"][wet] = t["zr"][wet] + u(300, 600, wet.sum())
    t["class"][wet] = rng.choice([18, 19, 20, 21, 22, 23], wet.sum())
    t["anaerobiosis"][wet] = 0.0
    own = kind == "own"
    t["class"][own] = 0.0
    for name, low, high in [("theta_r", 0, 0.1), ("theta_s", 0.35, 0.5), ("alpha", 0.005, 0.3),
                            ("n", 1.05, 1.6), ("p1", 50, 5000), ("p2", -3.5, -1.4)]:
        t[name][own] = u(low, high, own.sum())
    for i in np.flatnonzero(kind == "fault"):
        case = i % 6
        if case == 0:
            t["ETp"][i] = 0.0
        elif case == 1:
            t["zr"][i] = -t["zr"][i]
        elif case == 2:
            t["Cs"][i] = np.nan
            for m in range(4, 10):
                t[f"rain{m}"][i] = t[f"etp{m}"][i] = 0.0
        elif case == 3:
            # theta_s - theta_r is the model's 0.05, the float nearest it
            t["class"][i], t["anaerobiosis"][i], t["P"][i] = 0.0, 1.0, 2 * t["ETp"][i]
            t["theta_r"][i], t["theta_s"][i], t["alpha"][i] = 0.0, 0.05000000074505806, 0.05
            t["n"][i], t["p1"][i], t["p2"][i] = 1.3, 1000.0, -2.0
        elif case == 4:
            t["class"][i], t["theta_r"][i], t["theta_s"][i], t["alpha"][i] = 0.0, 0.0, 0.4, 0.1
            t["n"][i], t["p1"][i], t["p2"][i] = 1.3, 1000.0, 400.0
            t["zgw"][i] = t["zr"][i] + 50
        else:
            t["P"][i] = 1.7e308  # P * 1.15 overflows
    for i in np.flatnonzero(kind == "bad"):
        case = i % 6
        if case == 0:
            t[["P", "zgw", "class"][i // 6 % 3]][i] = np.nan
        elif case == 1:
            t["class"][i] = 35.0
        elif case == 2:
            t["class"][i] = 2.5
        elif case == 3:
            t["anaerobiosis"][i] = 2.0
        elif case == 4:
            t["Cs"][i], t["rain4"][i] = np.nan, np.nan
        else:
            t["class"][i], t["theta_r"][i] = 0.0, 0.0
    return t


def _cell(value):
    return "" if math.isnan(value) else repr(float(value))


def _run_table(program, soils, directory):
    """recharge-table's output of ``soils``: column -> list of cells (str)."""
    table, results = directory / "soils.csv", directory / "results.csv"
    with open(table, "w", newline="") as out:
        writer = csv.writer(out)
        writer.writerow(["id"] + FIELDS)
        for i in range(ROWS):
            writer.writerow([f"soil {i}"] + [_cell(soils[name][i]) for name in FIELDS])
    run = subprocess.run([program, "-q", "-j", "2", "-o", str(results), str(table)],
                         capture_output=True, text=True)
    assert run.returncode == 1, run.stderr  # complete, some rows not ok
    with open(results, newline="") as cells:
        rows = list(csv.reader(cells))
    return table, {name: [row[c] for row in rows[1:]] for c, name in enumerate(rows[0])}


@pytest.fixture(scope="session")
def soils():
    return _soils(np.random.default_rng(20240611))


@pytest.fixture(scope="session")
def table(soils, tmp_path_factory):
    """The table's results: "values" column -> float64 (NaN for empty),
    "method" and "status" -> lists of str, the status without "line N: ";
    "path" the table it read."""
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table to compare with")
    path, cells = _run_table(program, soils, tmp_path_factory.mktemp("table"))
    out = {name: np.array([float(c) if c else np.nan for c in cells[name]]) for name in VALUES}
    out["method"] = cells["method"]
    out["status"] = [s.replace(f"line {i + 2}: ", "", 1) for i, s in enumerate(cells["status"])]
    assert cells["id"] == [f"soil {i}" for i in range(ROWS)]
    out["path"] = path  # the table itself
    return out


def same_bits(a, b):
    """Equal doubles, bit for bit, NaN where the other is NaN."""
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    nan = np.isnan(a)
    return bool(np.array_equal(nan, np.isnan(b))
                and np.array_equal(a[~nan].view(np.int64), b[~nan].view(np.int64)))


def grid_statuses(statuses):
    """The table's statuses as a grid gives them: a required value with no
    value is no data."""
    required = ("P", "ETp", "Ps", "ETps", "zr", "zgw", "class")
    no_value = {f"input error: {name}: no value" for name in required}
    return ["no data" if s in no_value else s for s in statuses]


def status_texts(codes):
    return [recharge.STATUSES[code] for code in np.asarray(codes).ravel()]
