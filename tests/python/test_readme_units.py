"""The README's Units section runs as written: its table through
recharge-table, its Python session as a doctest."""

import doctest
import os
import re
import subprocess
from pathlib import Path

import pytest

import recharge

README = (Path(__file__).resolve().parents[2] / "README.md").read_text()
SECTION = README.split("\n## Units\n", 1)[1].split("\n## ", 1)[0]
BLOCKS = re.findall(r"```(\w*)\n(.*?)```", SECTION, re.S)


def test_table_example(tmp_path):
    program = os.environ.get("RECHARGE_TABLE")
    if not program:
        pytest.skip("RECHARGE_TABLE names no recharge-table")
    (table, _), (expected, _) = [(text, kind) for kind, text in BLOCKS if kind == ""][:2]
    (tmp_path / "mm.csv").write_text(table)
    run = subprocess.run([program, "mm.csv", "--output-units", "mm"], cwd=tmp_path,
                         capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    assert run.stdout == expected


def test_python_example():
    pytest.importorskip("xarray")
    (session,) = [text for kind, text in BLOCKS if kind == "python"]
    test = doctest.DocTestParser().get_doctest(session, {"recharge": recharge}, "README Units",
                                               "README.md", 0)
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    runner.run(test)
    assert runner.summarize(verbose=False).failed == 0
