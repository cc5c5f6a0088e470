"""One contract at every door: the random soils of conftest.py written as a
table with units in its header and options, and read by recharge-table, by
read_table and by balance_frame on the same cells as text, give the same
bits; a unit in a name is a unit at every door, and one that disagrees with
a unit given apart from it is refused by name."""

import csv
import os
import subprocess
from decimal import Decimal

import numpy as np
import pytest

import recharge
from conftest import FIELDS, ROWS, VALUES, same_bits

pd = pytest.importorskip("pandas")

# The header: P in mm by its name, zr and zgw in m, the other climate amounts
# by --units mm, the rest in the model's units.
NAMES = {"P": "P [mm]", "zr": "zr [m]", "zgw": "zgw (m)"}
TO_TEXT_UNIT = {"P": 1, "zr": -2, "zgw": -2}  # powers of ten from cm
OPTIONS = ["--units", "mm", "--output-units", "mm"]
AMOUNTS_AND_DEPTHS = {each.name for each in recharge.INPUTS
                      if each.quantity in ("annual total", "total", "monthly total", "length")}


def _text(soils, name):
    """The cells of ``name`` in the unit the table reads them in: the
    shortest text of the cm value with its point moved."""
    power = TO_TEXT_UNIT.get(name, 1 if name in AMOUNTS_AND_DEPTHS else 0)
    return ["" if np.isnan(value) else str(Decimal(repr(float(value))).scaleb(power))
            for value in soils[name]]


@pytest.fixture(scope="module")
def written(soils, tmp_path_factory):
    """(the table's path, its cells by column name, recharge-table's output
    cells by column name, without the units of its header)."""
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table to compare with")
    folder = tmp_path_factory.mktemp("units")
    path = folder / "soils.csv"
    cells = {NAMES.get(name, name): _text(soils, name) for name in FIELDS}
    with open(path, "w", newline="") as out:
        writer = csv.writer(out)
        writer.writerow(["id", *cells])
        for i in range(ROWS):
            writer.writerow([f"soil {i}", *(column[i] for column in cells.values())])
    run = subprocess.run([program, "-q", *OPTIONS, str(path)], capture_output=True, text=True)
    assert run.returncode == 1, run.stderr
    rows = list(csv.reader(run.stdout.splitlines()))
    header = [name.split(" [")[0] for name in rows[0]]
    assert rows[0][header.index("R")] == "R [mm/a]"
    table = {name: [row[c] for row in rows[1:]] for c, name in enumerate(header)}
    table["status"] = [s.replace(f"line {i + 2}: ", "", 1) for i, s in enumerate(table["status"])]
    return path, cells, table


def check(frame, table):
    for name in VALUES:
        expected = [float(cell) if cell else np.nan for cell in table[name]]
        assert same_bits(frame[name], expected), name
    assert list(frame["status"]) == table["status"]
    assert frame.attrs["units"]["R"] == "mm/a" and frame.attrs["units"]["Wmax"] == "mm"


def test_read_table_takes_the_tables_options(written):
    path, _, table = written
    frame = recharge.read_table(path, units="mm", output_units="mm")
    assert list(frame.columns[1:6]) == ["P [cm]", "ETp [cm]", "Ps [cm]", "ETps [cm]", "Cs"]
    check(recharge.balance_frame(frame), table)


def test_text_cells_of_a_frame_are_read_as_the_table_reads_them(written):
    _, cells, table = written
    check(recharge.balance_frame(pd.DataFrame(cells), units="mm", output_units="mm"), table)


def test_the_results_length_is_what_the_table_writes(written):
    """Ten times the cm result is another double in some rows: the frame
    gives the table's, not the product."""
    _, cells, table = written
    cm = recharge.balance_frame(pd.DataFrame(cells), units="mm")
    mm = np.array([float(cell) if cell else np.nan for cell in table["R"]])
    assert (cm["R"].to_numpy() * 10 != mm)[~np.isnan(mm)].any()


SAND = {"ETp": 55.0, "Ps": 30.0, "ETps": 40.0, "Cs": 0.3, "zr": 60.0, "zgw": 200.0, "class": 1}


def test_a_unit_in_a_name_is_a_unit_at_every_door():
    xr = pytest.importorskip("xarray")
    expected = recharge.balance(60.0, 55, 30, 40, 60, 200, 1, Cs=0.3).R
    frame = pd.DataFrame({"P [mm]": [600.0], **{name: [value] for name, value in SAND.items()}})
    assert same_bits(recharge.balance_frame(frame)["R"], [expected])
    with pytest.warns(UserWarning, match="no units attribute"):  # on the others
        for ds in (frame.to_xarray(),
                   xr.Dataset({"P [mm]": 600.0, **SAND}),
                   xr.Dataset({"P [mm]": ((), 600.0, {"units": "millimeter"}), **SAND})):
            assert same_bits(recharge.balance_dataset(ds)["R"].values.ravel(), [expected])


def test_a_name_unit_that_disagrees_is_refused_by_name():
    xr = pytest.importorskip("xarray")
    with pytest.raises(ValueError, match=r"^variable P \[mm\]: the name gives the unit mm, "
                                         r"the units attribute m$"):
        recharge.balance_dataset(xr.Dataset({"P [mm]": ((), 600.0, {"units": "m"}), **SAND}))
    with pytest.raises(ValueError, match=r'^variable zgw \(cm\): zgw takes a length'):
        others = {name: value for name, value in SAND.items() if name != "zgw"}
        recharge.balance_dataset(xr.Dataset({**others, "P": 60.0,
                                             "zgw (cm)": ((), 2.0, {"units": "1/m"})}))
