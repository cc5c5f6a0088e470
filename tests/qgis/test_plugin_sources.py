"""The plugin takes the model's contract from the package's public names alone."""

import pathlib
import re

import recharge_processing


def test_no_private_name_of_the_package_is_used():
    sources = pathlib.Path(recharge_processing.__file__).parent.glob("*.py")
    used = {path.name: re.findall(r"recharge\._(?!_)\w*|\b_core\b", path.read_text())
            for path in sources}
    assert len(used) > 5 and not any(used.values()), used
