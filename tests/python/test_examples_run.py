"""Every example of the README and of the package's docstrings runs as
written: the tables through recharge-table, the Python sessions as
doctests (in a folder holding the README's soils.csv), the cluster script
on the GeoTIFF files of examples/regional_recharge.py."""

import doctest
import importlib
import os
import re
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import recharge

ROOT = Path(__file__).resolve().parents[2]
README = (ROOT / "README.md").read_text()
BLOCKS = re.findall(r"```(\w*)\n(.*?)```", README, re.S)


def blocks_after(text):
    """The fenced blocks of the README after ``text``: [(language, text)]."""
    return re.findall(r"```(\w*)\n(.*?)```", README.split(text, 1)[1], re.S)


SOILS = blocks_after("An example, `soils.csv`:")[0][1]
OPTIONS = doctest.NORMALIZE_WHITESPACE | doctest.ELLIPSIS
# Where this package is imported from, for a script run in another folder.
PACKAGE_PATH = os.path.dirname(os.path.dirname(os.path.abspath(recharge.__file__)))


def run_doctest(text, name, globs):
    test = doctest.DocTestParser().get_doctest(text, globs, name, name, 0)
    runner = doctest.DocTestRunner(optionflags=OPTIONS)
    runner.run(test, out=lambda report: pytest.fail(report, pytrace=False))


@pytest.fixture
def folder(tmp_path, monkeypatch):
    (tmp_path / "soils.csv").write_text(SOILS)
    monkeypatch.chdir(tmp_path)
    return tmp_path


def table_examples():
    """(command line, input, output) of each table run the README shows."""
    out = blocks_after("An example, `soils.csv`:")[1][1]
    mm = blocks_after("give none, and `--output-units` the length of Wmax")
    return [(["soils.csv"], SOILS, out), (["mm.csv", "--output-units", "mm"], mm[0][1], mm[1][1])]


@pytest.mark.parametrize("arguments, table, expected", table_examples(), ids=["soils", "mm"])
def test_readme_tables(folder, arguments, table, expected):
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table")
    (folder / arguments[0]).write_text(table)
    run = subprocess.run([program, "-q", *arguments], capture_output=True, text=True)
    assert run.stdout == expected


@pytest.mark.parametrize("number", [i for i, (kind, text) in enumerate(BLOCKS)
                                    if kind == "python" and text.startswith(">>>")])
def test_readme_python_sessions(folder, number):
    pytest.importorskip("xarray")
    run_doctest(BLOCKS[number][1], f"README block {number}", {"recharge": recharge})


@pytest.mark.filterwarnings("ignore::DeprecationWarning")
def test_readme_cluster_script(folder):
    pytest.importorskip("rioxarray")
    pytest.importorskip("distributed")
    (script,) = [text for kind, text in BLOCKS if kind == "python" and "LocalCluster" in text]
    sys.path.insert(0, str(ROOT / "examples"))
    try:
        region = importlib.import_module("regional_recharge")
    finally:
        sys.path.pop(0)
    region.write_inputs(region.synthetic_region(), folder)
    (folder / "cluster.py").write_text(script)
    run = subprocess.run([sys.executable, "cluster.py"], capture_output=True, text=True,
                         timeout=300, env=dict(os.environ, PYTHONPATH=PACKAGE_PATH))
    assert run.returncode == 0, run.stderr
    assert (folder / "R.tif").stat().st_size > 0


@pytest.mark.parametrize("module", ["recharge", "recharge._balance", "recharge._columns",
                                    "recharge._contract", "recharge._frame", "recharge._dataset",
                                    "recharge._table", "recharge.plot"])
def test_docstrings(folder, module):
    pd = pytest.importorskip("pandas")
    xr = pytest.importorskip("xarray")
    namespace = importlib.import_module(module)
    globs = {**vars(namespace), "np": np, "pd": pd, "xr": xr, "recharge": recharge}
    for test in doctest.DocTestFinder().find(namespace, module, globs=globs):
        runner = doctest.DocTestRunner(optionflags=OPTIONS)
        runner.run(test, out=lambda report: pytest.fail(report, pytrace=False))
