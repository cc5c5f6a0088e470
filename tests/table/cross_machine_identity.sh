#!/usr/bin/env bash
# The same bytes on every machine: recharge-table on a table of 20,000
# random soils (bench/make_batch.py's realistic mix) with this processor's
# math (its widest vector lanes), with glibc's functions for processors
# without AVX2 and FMA, and as built for aarch64 under qemu. Every output
# must be byte-identical. Run by .ci/run after both builds.
#
#   tests/table/cross_machine_identity.sh [rows]
set -euo pipefail
cd "$(dirname "$0")/../.."

rows=${1:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_batch.py "$rows" mixed "$work/soils"

build/default/recharge-table -q "$work/soils.csv" >"$work/x86-64.csv"
GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA \
  build/default/recharge-table -q "$work/soils.csv" >"$work/x86-64-without-fma.csv"
qemu-aarch64 build/aarch64/recharge-table -q "$work/soils.csv" >"$work/aarch64.csv"

status=0
for other in x86-64-without-fma aarch64; do
  if cmp -s "$work/x86-64.csv" "$work/$other.csv"; then
    echo "$other: identical"
  else
    echo "$other: DIFFERS"
    diff "$work/x86-64.csv" "$work/$other.csv" | head -5
    status=1
  fi
done
echo "$(($(wc -l <"$work/x86-64.csv") - 1)) rows, sha256 $(sha256sum <"$work/x86-64.csv" | cut -c1-16)"
exit "$status"
