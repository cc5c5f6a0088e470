"""read_table and balance_frame give recharge-table's very results: every
value bit for bit and every status, its "line N: " aside."""

import csv
import io
import os
import re
import subprocess
from pathlib import Path

import numpy as np
import pytest

import recharge
from conftest import same_bits

pd = pytest.importorskip("pandas")
TABLES = Path(__file__).resolve().parents[1] / "table" / "tables"


@pytest.mark.parametrize("name", ["soils", "soils_semicolon"])
def test_frame_of_a_table_is_the_table(name):
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table")
    table = TABLES / f"{name}.csv"
    run = subprocess.run([program, "-q", str(table)], capture_output=True, text=True)
    rows = list(csv.reader(io.StringIO(run.stdout),
                           delimiter=";" if "semicolon" in name else ","))
    expected = {column: [row[i] for row in rows[1:]] for i, column in enumerate(rows[0])}
    out = recharge.balance_frame(recharge.read_table(table))
    assert list(out["status"]) == [re.sub(r"line \d+: ", "", s, count=1)
                                   for s in expected["status"]]
    for column in ("Cs", "FC", "WP", "Wmax", "qmax", "nB", "h_an", "g", "ETa", "R"):
        cells = [float(c.replace(",", ".")) if c else np.nan for c in expected[column]]
        assert same_bits(out[column].to_numpy(dtype=float), cells), column


def test_cells_as_the_table_reads_them():
    text = ("\ufeffid;P [mm]; ETp ;Ps;ETps;Cs;zr;zgw;class\n"
            "a;605;55;30;40;0,3;60;200;1\n"
            "b;600;55;30;40;0,3;1.500;200;1\n"
            'c;600;55;30;40;"0,3;60;200;1\n'
            "d;0,0500000007450580596923828125;55;30;40;0,3;60;200;1\n")
    frame = recharge.read_table(io.StringIO(text))
    assert list(frame.columns) == ["id", "P [cm]", "ETp", "Ps", "ETps", "Cs", "zr", "zgw",
                                   "class"]
    assert frame["P [cm]"][0] == 60.5 and frame["P [cm]"][3] == 0.00500000007450580596923828125
    statuses = list(recharge.balance_frame(frame)["status"])
    assert statuses[1:3] == ['input error: zr: "1.500": a point in a table with decimal commas',
                             "input error: unterminated quote"]
    assert list(frame["id"]) == ["a", "b", "c", "d"]
    with pytest.raises(ValueError, match="no column zr"):
        recharge.read_table(io.StringIO("P,ETp,Ps,ETps,Cs,zgw,class\n"))


def test_text_cells_of_any_frame():
    frame = pd.DataFrame({"P": [60, 60, 60], "ETp": 55, "Ps": 30, "ETps": 40, " Cs ": 0.3,
                          "zr": ["60", "6o", None], "zgw": 200, "class": 1})
    assert list(recharge.balance_frame(frame)["status"]) == [
        "ok", 'input error: zr: "6o" is not a number', "input error: zr: no value"]


def test_files_as_spreadsheets_write_them(tmp_path):
    """A cp1252 export (umlauts in an id, a header and a cell) reads as the
    table reads it, its bytes kept; a short row keeps its id; the frame, cells
    it could not read included, pickles; a folder is an OSError naming it."""
    import pickle

    path = tmp_path / "export.csv"
    path.write_bytes(b"id;P;ETp;Ps;ETps;Cs;zr;zgw;class;Gew\xe4sser\n"
                     b"M\xfcller;60;55;30;40;0,3;60;200;1;x\n"
                     b"B\xe4r;60;55;30;40;0,3;6\xfc;200;1;x\n"
                     b"kurz;60\n")
    with pytest.warns(UserWarning, match="ignoring the column Gew\udce4sser"):
        out = recharge.balance_frame(pickle.loads(pickle.dumps(recharge.read_table(path))))
    assert [cell.encode("utf-8", "surrogateescape") for cell in out["id"]] == [
        b"M\xfcller", b"B\xe4r", b"kurz"]
    assert list(out["status"]) == ["ok", 'input error: zr: "6\\xfc" is not a number',
                                   "input error: 2 fields where the header has 10"]
    with pytest.raises(OSError, match=f"Is a directory: '{tmp_path}'"):
        recharge.read_table(tmp_path)
