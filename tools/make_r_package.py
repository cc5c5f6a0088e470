#!/usr/bin/env python3
"""Makes the R package recharge from the tree, ready for R CMD build.

    make_r_package.py RECHARGE_TABLE FOLDER

FOLDER (say build/default/r-package/recharge) is made anew from:
  - r/recharge, the package's own files, its DESCRIPTION with the version
    of CMakeLists.txt's project();
  - the model's C++ that its glue (r/recharge/src/*.cpp) needs, found by
    following the includes from the glue and from the units read by
    UDUNITS-2 (field_units_udunits.cc), each header with its source, copied
    under src/ as they stand in the tree, so that the package computes with
    the very code of the programs;
  - the tables of tests/table/tables as inst/extdata, and the results
    RECHARGE_TABLE (the tree's recharge-table) gives for them as the
    package's expected test results in tests/testthat/expected, every number
    written in hexadecimal, which R reads exactly (its reading of decimals is
    not correctly rounded);
  - the documentation and NAMESPACE (roxygen2) and Rcpp's glue of the
    exported functions (Rcpp::compileAttributes).
"""

import csv
import pathlib
import re
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCES = ROOT / "src"
PACKAGE = ROOT / "r" / "recharge"
# The units the package reads: UDUNITS-2's reader, which no header names.
UNIT_READER = SOURCES / "balance" / "field_units_udunits.cc"
# The tables and the options recharge-table reads them with.
TABLES = {"soils": [], "soils_semicolon": [], "units": ["--output-units", "mm"]}
INCLUDE = re.compile(r'^#include "([^"]+)"', re.MULTILINE)


def version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(recharge VERSION ([0-9.]+)", text).group(1)


def model_sources(seeds):
    """The seeds of src/ and every file of src/ that the seeds include,
    directly or not, each header with the source of the same name."""
    found, todo = {seed for seed in seeds if SOURCES in seed.parents}, list(seeds)
    while todo:
        for name in INCLUDE.findall(todo.pop().read_text()):
            path = SOURCES / name
            if not path.is_file() or path in found:
                continue
            found.add(path)
            todo.append(path)
            source = path.with_suffix(".cc")
            if source.is_file() and source not in found:
                found.add(source)
                todo.append(source)
    return found


def expected(program, name, options, folder):
    """recharge-table's results for the table `name`, numbers in hex."""
    out = folder / f"{name}.out.csv"
    run = subprocess.run([program, "-q", *options, "-o", out, ROOT / "tests/table/tables" /
                          f"{name}.csv"])
    if run.returncode not in (0, 1):
        sys.exit(f"{program} failed on {name}.csv")
    with open(out, newline="", encoding="utf-8") as table:
        rows = list(csv.reader(table, delimiter=";" if "semicolon" in name else ","))
    out.unlink()
    text = {"id", "method", "status"}
    with open(folder / f"{name}.csv", "w", newline="", encoding="utf-8") as hexed:
        writer = csv.writer(hexed, lineterminator="\n")
        writer.writerow(rows[0])
        for row in rows[1:]:
            writer.writerow(cell if column.split(" ")[0] in text or cell == "" else
                            float(cell.replace(",", ".")).hex()
                            for column, cell in zip(rows[0], row))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, folder = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2])
    if folder.exists():
        shutil.rmtree(folder)
    shutil.copytree(PACKAGE, folder, ignore=shutil.ignore_patterns("DESCRIPTION.in"))
    description = (PACKAGE / "DESCRIPTION.in").read_text()
    (folder / "DESCRIPTION").write_text(description.replace("@VERSION@", version()))

    for path in model_sources(sorted(PACKAGE.glob("src/*.cpp")) + [UNIT_READER]):
        target = folder / "src" / path.relative_to(SOURCES)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(path, target)

    extdata = folder / "inst" / "extdata"
    extdata.mkdir(parents=True)
    results = folder / "tests" / "testthat" / "expected"
    results.mkdir(parents=True)
    for name, options in TABLES.items():
        shutil.copy2(ROOT / "tests/table/tables" / f"{name}.csv", extdata)
        expected(program, name, options, results)

    # roxygen2 first: Rcpp reads the NAMESPACE it writes.
    subprocess.run(["Rscript", "-e", "roxygen2::roxygenise(commandArgs(TRUE)[1], "
                    "load_code = roxygen2::load_source)", folder], check=True)
    subprocess.run(["Rscript", "-e", "Rcpp::compileAttributes(commandArgs(TRUE)[1])", folder],
                   check=True)


if __name__ == "__main__":
    main()
