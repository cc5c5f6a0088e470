#!/usr/bin/env bash
# Batch benchmark: pipes a generated batch of soils (default 10,000) through
# recharge with its output to a file, and sets the cost of the whole process
# beside the bare solves of the very same soils: the solver's arithmetic
# calling the C library directly (bench/bare_bagrov.cc), with no checks.
#
#   bench/batch.sh [soils]
#
# Targets: the whole-process cost per Newton-path soil is at most 1.10 times
# the bare solve, and the peak memory of 100 soils and of the whole batch are
# within 5% of each other. Exits 1 if a target is missed. The program's own
# solver (checked functions included) is shown beside both.
#
# The answers reach the program through a pipe from cat, as a user's would.
# shellcheck disable=SC2002
set -euo pipefail
cd "$(dirname "$0")/.."

soils=${1:-10000}
[[ $soils =~ ^[1-9][0-9]*$ ]] || { echo "usage: bench/batch.sh [soils]" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench/batch.sh needs GNU time (package time)" >&2; exit 2; }
program=build/default/recharge
benchmark=build/default/bagrov_solver_benchmark
[ -d build/default ] || cmake --preset default >/dev/null
cmake --build --preset default --target recharge bagrov_solver_benchmark >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/make_batch.py "$soils" mixed "$work/mixed"
python3 bench/make_batch.py "$soils" shortcut "$work/shortcut"
python3 bench/make_batch.py 100 mixed "$work/small"

# check PREFIX COUNT: the run of PREFIX.in ended normally after COUNT soils.
check() {
  local status=$1 prefix=$2 count=$3
  local last
  last=$(tail -n 3 "$prefix.out" | tr -d '\r' | grep -v '^$' | tail -n 1)
  if [ "$status" -ne 0 ] || [ -s "$prefix.err" ] || [ "$last" != "Stop - Program terminated." ] ||
    [ "$(grep -c 'Actual evapotranspiration' "$prefix.out")" -ne "$count" ]; then
    echo "batch $prefix: abnormal run (exit $status, last line '$last')" >&2
    cat "$prefix.err" >&2
    exit 1
  fi
}

# run PREFIX COUNT: pipes PREFIX.in through the program and sets `micros`,
# the wall-clock time of the run in microseconds.
run() {
  local start status=0
  start=${EPOCHREALTIME/./}
  cat "$1.in" | "$program" >"$1.out" 2>"$1.err" || status=$?
  micros=$((${EPOCHREALTIME/./} - start))
  check "$status" "$1" "$2"
}

# peak PREFIX COUNT: prints the peak resident memory of a run in kB, the
# median of five runs (it varies by some pages from run to run). GNU time
# measures it; getrusage(RUSAGE_CHILDREN) from Python cannot stand in, as a
# child's high-water mark includes the interpreter it was forked from.
peak() {
  local status
  for _ in 1 2 3 4 5; do
    status=0
    cat "$1.in" | /usr/bin/time -f %M -o "$1.rss" "$program" >"$1.out" 2>"$1.err" || status=$?
    check "$status" "$1" "$2"
    cat "$1.rss"
  done | sort -n | sed -n 3p
}

# Whole process. The shortcut batch holds the same soils as the mixed one, but
# every P is 2.4 ETp, so no soil iterates: its time per soil is what a soil
# costs apart from the iteration (reading the answers, the soil water, the
# records, the process start-up shared out). With
#   T_mixed = N * overhead + newton * iteration,
# one Newton soil costs overhead + iteration
#   = T_shortcut / N + (T_mixed - T_shortcut) / newton.
# This charges the non-Newton soils of the mixed batch as shortcut soils; a
# hydropedotransfer soil is a little cheaper still, which lowers the Newton
# figure by well under a microsecond. Each batch runs three times, in turn,
# and the fastest run counts, as the fastest repetition does for the solver.
mixed=0
shortcut=0
for _ in 1 2 3; do
  run "$work/mixed" "$soils"
  mixed=$((mixed == 0 || micros < mixed ? micros : mixed))
  run "$work/shortcut" "$soils"
  shortcut=$((shortcut == 0 || micros < shortcut ? micros : shortcut))
done
hydropedotransfer=$(grep -c 'Hydropedotransfer function used' "$work/mixed.out" || true)
peak_small=$(peak "$work/small" 100)
peak_large=$(peak "$work/mixed" "$soils")

# Solves alone: the benchmark takes every soil of the description through
# the model's one pass as the dialogue does, and times the bare solves and
# SolveBagrov on the (nB, P, ETp) of the soils that iterate, in wall-clock
# time as above.
"$benchmark" "$work/mixed.soils" --benchmark_filter=batch --benchmark_repetitions=3 \
  --benchmark_format=json >"$work/solver.json"

python3 - "$soils" "$mixed" "$shortcut" "$hydropedotransfer" "$peak_small" "$peak_large" \
  "$work/solver.json" <<'EOF'
import json, sys

soils, mixed, shortcut, hydropedotransfer, peak_small, peak_large = map(int, sys.argv[1:7])
report = json.load(open(sys.argv[7]))
context = report["context"]
newton = int(context["newton_soils"])
if newton == 0:
    sys.exit("no soil of the batch takes the Newton path")
if int(context["hydropedotransfer_soils"]) != hydropedotransfer:
    sys.exit("the benchmark and the program disagree on the soils' methods")


def fastest(name):
    return 1e6 * min(b["solve_time"] for b in report["benchmarks"]
                     if b.get("run_type") == "iteration" and b["name"].startswith(name))


bare = fastest("BM_BareSolve/batch")
solver = fastest("BM_SolveBagrov/batch")
whole = shortcut / soils + (mixed - shortcut) / newton  # microseconds per Newton soil
ratio = whole / bare
growth = abs(peak_large - peak_small) / peak_small


def verdict(passed):
    return "PASS" if passed else "FAIL"


print(f"{soils} soils: {newton} Newton path, {context['shortcut_soils']} shortcut, "
      f"{hydropedotransfer} hydropedotransfer")
print(f"whole process:  {soils / (mixed * 1e-6):9.0f} soils/s, {mixed / soils:7.2f} us per soil "
      f"({shortcut / soils:.2f} us per soil without iteration)")
print(f"per Newton soil: whole process {whole:7.2f} us, bare solve {bare:7.2f} us, "
      f"ratio {ratio:.3f} (target <= 1.10) {verdict(ratio <= 1.10)}")
print(f"                 the program's SolveBagrov {solver:7.2f} us ({solver / bare:.3f} of the bare solve)")
print(f"peak memory: 100 soils {peak_small} kB, {soils} soils {peak_large} kB, "
      f"difference {growth:.1%} (target within 5%) {verdict(growth <= 0.05)}")
sys.exit(0 if ratio <= 1.10 and growth <= 0.05 else 1)
EOF
