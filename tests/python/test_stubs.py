"""The typed stubs of the compiled module name what it has: every function
and constant of recharge._core, each with its parameters, and nothing else."""

import ast
import re
from pathlib import Path

import recharge
from recharge import _core

STUBS = ast.parse((Path(recharge.__file__).parent / "_core.pyi").read_text())


def test_stubs_name_the_modules_functions_and_constants():
    functions = {node.name: [arg.arg for arg in node.args.args]
                 for node in STUBS.body if isinstance(node, ast.FunctionDef)}
    constants = {node.target.id for node in STUBS.body if isinstance(node, ast.AnnAssign)}
    public = {name for name in vars(_core) if not name.startswith("_")} | {"__version__"}
    assert set(functions) | constants == public
    for name, parameters in functions.items():
        signature = getattr(_core, name).__doc__.splitlines()[0]  # "balance(fields: ..., ...)"
        assert re.findall(r"(\w+): ", signature) == parameters, name
