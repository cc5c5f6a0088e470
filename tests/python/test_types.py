"""The package's types check: the compiled module's stubs name what it has,
with its parameters (mypy's stubtest), and mypy finds the package sound."""

import subprocess
import sys
from pathlib import Path

import pytest

import recharge

pytest.importorskip("mypy")
ROOT = Path(__file__).resolve().parents[2]


def mypy(tmp_path, *arguments):
    return subprocess.run([sys.executable, "-m", *arguments], capture_output=True, text=True,
                          cwd=tmp_path)


def test_stubs_are_the_modules(tmp_path):
    run = mypy(tmp_path, "mypy.stubtest", "recharge._core")
    assert run.returncode == 0, run.stdout + run.stderr


def test_package_checks(tmp_path):
    run = mypy(tmp_path, "mypy", "--config-file", str(ROOT / "pyproject.toml"), "--cache-dir",
               str(tmp_path), "-p", "recharge")
    assert run.returncode == 0, run.stdout + run.stderr


def test_results_fields_are_typed_as_the_contract_lists_them():
    typed = list(recharge.Result.__annotations__)
    assert typed[:-3] == [column.name for column in recharge.RESULTS if not column.text]
    assert typed[-3:] == ["method_code", "status_code", "units"]
