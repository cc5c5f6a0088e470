#!/usr/bin/env bash
# The R package: made from the tree (tools/make_r_package.py), built and
# checked as CRAN checks it, installed into a library of its own, compared
# with recharge-table and the Python package on the same soils, and the
# README's R examples run:
#
#   package_test.sh RECHARGE_TABLE PYTHONPATH FOLDER
#
# Exit status 77 (skipped) where R or a package it needs is missing. The
# check runs offline: without CRAN's remote checks, with the local clock,
# and without the PDF manual, which needs LaTeX (the Rd files are checked).
# Its NOTEs may only be the ones CRAN takes from a first submission: the
# maintainer and a new submission, and the size of the compiled code, which
# R's -g makes larger than 5 MB.
set -euo pipefail
table=$1 pythonpath=$2 folder=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

for tool in R Rscript checkbashisms qpdf; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: no $tool (r-base-dev, devscripts, qpdf)"
    exit 77
  fi
done
missing=$(Rscript -e 'needed <- c("Rcpp", "roxygen2", "testthat", "knitr", "markdown", "terra",
  "units", "codetools"); cat(needed[!vapply(needed, requireNamespace, TRUE, quietly = TRUE)])')
if [ -n "$missing" ]; then
  echo "skipped: R packages missing: $missing"
  exit 77
fi

rm -rf "$folder"
mkdir -p "$folder/lib"
/usr/bin/python3 "$root/tools/make_r_package.py" "$table" "$folder/recharge"
cd "$folder"
export MAKEFLAGS=-j2
R CMD build recharge
tarball=$(ls recharge_*.tar.gz)
_R_CHECK_CRAN_INCOMING_REMOTE_=false _R_CHECK_SYSTEM_CLOCK_=false \
  R CMD check --as-cran --no-manual "$tarball"
log=recharge.Rcheck/00check.log
if grep -E '\.\.\. .*(ERROR|WARNING)$' "$log" ||
  grep -E '\.\.\. .*NOTE$' "$log" | grep -vE 'checking (installed package size|CRAN incoming feasibility)'; then
  echo "R CMD check: more than the NOTEs of a first submission"
  exit 1
fi
grep '^Status:' "$log"

R CMD INSTALL -l lib "$tarball"
export R_LIBS=$folder/lib
/usr/bin/python3 "$root/bench/make_batch.py" 3000 mixed batch
for input in batch.csv "$root/tests/table/tables/soils.csv"; do
  name=$(basename "$input" .csv)
  "$table" -q "$input" -o "$name.table.csv" || [ $? -eq 1 ]
  Rscript "$here/identity.R" "$input" "$name.frame.csv" "$name.balance.csv" "$name.times"
  PYTHONPATH=$pythonpath /usr/bin/python3 "$here/identity.py" "$input" "$name.table.csv" \
    "$name.frame.csv" "$name.balance.csv" "$name.times"
done
/usr/bin/python3 "$here/interrupt.py"
Rscript "$here/readme_examples.R" "$root/README.md"
