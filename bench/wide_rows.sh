#!/usr/bin/env bash
# Peak memory of recharge-table on wide rows, beside a normal table: 10,000
# rows of bench/make_batch.py's realistic mix, and three tables of 256 lines
# of 1 MiB each under the same header (256 MiB), piped in as they are made:
#   delimiters   lines of nothing but 1 MiB of commas (rows of empty cells)
#   trailing     a soil followed by commas to 1 MiB (empty fields beyond the
#                header, dropped)
#   ids          a soil whose id is 1 MiB less 64 bytes
# Prints the peak resident memory of each (GNU time's %M, in kB) and its ratio
# to the normal table's.
#
#   bench/wide_rows.sh
set -euo pipefail
cd "$(dirname "$0")/.."

[ -x /usr/bin/time ] || { echo "bench/wide_rows.sh needs GNU time (package time)" >&2; exit 2; }
program=build/default/recharge-table
[ -d build/default ] || cmake --preset default >/dev/null
cmake --build --preset default --target recharge-table >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/make_batch.py 10000 mixed "$work/normal" >/dev/null

# wide KIND: writes the table of 256 wide lines of KIND to standard output.
wide() {
  python3 - "$1" <<'PYTHON'
import sys

kind = sys.argv[1]
mib = 1 << 20
soil = "60,55,30,40,0.3,60,200,1"
out = sys.stdout.buffer
out.write(b"id,P,ETp,Ps,ETps,Cs,zr,zgw,class\n")
if kind == "delimiters":
    line = b"," * mib
elif kind == "trailing":
    row = "r," + soil
    line = (row + "," * (mib - len(row))).encode()
else:
    line = ("i" * (mib - 64) + "," + soil).encode()
for _ in range(256):
    out.write(line + b"\n")
PYTHON
}

# peak: the peak resident memory of recharge-table on standard input, in kB.
peak() {
  /usr/bin/time -f %M -o "$work/rss" "$program" -q >/dev/null || [ $? -eq 1 ]
  cat "$work/rss"
}

normal=$(peak <"$work/normal.csv")
printf '%-11s %8s kB\n' normal "$normal"
for kind in delimiters trailing ids; do
  kb=$(wide "$kind" | peak)
  printf '%-11s %8s kB  %5.2f times the normal table\n' "$kind" "$kb" \
    "$(python3 -c "print($kb / $normal)")"
done
