#!/usr/bin/env bash
# Table benchmark: recharge-table on a generated table of soils (default
# 10,000 rows, the realistic mix of bench/make_batch.py), measured side by
# side in one run with the bare solves of the very same soils.
#
#   bench/table.sh [rows]
#
# Targets:
#   - with one thread, the cost per Newton-path row is at most 1.05 times the
#     bare solve (the solver's arithmetic calling the C library directly);
#   - with two threads, at least 1.8 times the throughput of one;
#   - the peak memory of 1,000 rows and of 200,000 rows within 10%.
# Exits 1 if a target is missed.
set -euo pipefail
cd "$(dirname "$0")/.."

rows=${1:-10000}
[[ $rows =~ ^[1-9][0-9]*$ ]] || { echo "usage: bench/table.sh [rows]" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bench/table.sh needs GNU time (package time)" >&2; exit 2; }
program=build/default/recharge-table
benchmark=build/default/bagrov_solver_benchmark
[ -d build/default ] || cmake --preset default >/dev/null
cmake --build --preset default --target recharge-table bagrov_solver_benchmark >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/make_batch.py "$rows" mixed "$work/mixed"
python3 bench/make_batch.py "$rows" shortcut "$work/shortcut"
python3 bench/make_batch.py 1000 mixed "$work/small"
python3 bench/make_batch.py 200000 mixed "$work/large"

# run PREFIX THREADS: sets `micros`, the wall-clock time of one run.
run() {
  local start
  start=${EPOCHREALTIME/./}
  "$program" -q -j "$2" "$1.csv" >"$1.out"
  micros=$((${EPOCHREALTIME/./} - start))
}

# fastest PREFIX THREADS: the fastest of three runs, in microseconds.
fastest() {
  local best=0
  for _ in 1 2 3; do
    run "$1" "$2"
    best=$((best == 0 || micros < best ? micros : best))
  done
  echo "$best"
}

# peak PREFIX: the median peak resident memory of three runs, in kB.
peak() {
  for _ in 1 2 3; do
    /usr/bin/time -f %M -o "$1.rss" "$program" -q "$1.csv" >"$1.out"
    cat "$1.rss"
  done | sort -n | sed -n 2p
}

# As in bench/batch.sh: the shortcut table holds the same soils with every P
# at 2.4 ETp, so that its time per row is what a row costs apart from the
# iteration, and one Newton row costs
#   T_shortcut / N + (T_mixed - T_shortcut) / newton.
mixed1=$(fastest "$work/mixed" 1)
shortcut1=$(fastest "$work/shortcut" 1)
mixed2=$(fastest "$work/mixed" 2)
peak_small=$(peak "$work/small")
peak_large=$(peak "$work/large")

"$benchmark" "$work/mixed.soils" --benchmark_filter=batch --benchmark_repetitions=3 \
  --benchmark_format=json >"$work/solver.json"

python3 - "$rows" "$mixed1" "$shortcut1" "$mixed2" "$peak_small" "$peak_large" \
  "$work/solver.json" <<'PYTHON'
import json, sys

rows, mixed1, shortcut1, mixed2, peak_small, peak_large = map(int, sys.argv[1:7])
report = json.load(open(sys.argv[7]))
newton = int(report["context"]["newton_soils"])


def fastest(name):
    return 1e6 * min(b["solve_time"] for b in report["benchmarks"]
                     if b.get("run_type") == "iteration" and b["name"].startswith(name))


bare = fastest("BM_BareSolve/batch")
whole = shortcut1 / rows + (mixed1 - shortcut1) / newton
ratio = whole / bare
speedup = mixed1 / mixed2
growth = abs(peak_large - peak_small) / peak_small
passed = ratio <= 1.05 and speedup >= 1.8 and growth <= 0.10


def verdict(ok):
    return "PASS" if ok else "FAIL"


print(f"{rows} rows, {newton} on the Newton path")
print(f"one thread:  {rows / (mixed1 * 1e-6):9.0f} rows/s; per Newton row {whole:.2f} us, "
      f"bare solve {bare:.2f} us, ratio {ratio:.3f} (target <= 1.05) {verdict(ratio <= 1.05)}")
print(f"two threads: {rows / (mixed2 * 1e-6):9.0f} rows/s, {speedup:.2f} times one thread "
      f"(target >= 1.8) {verdict(speedup >= 1.8)}")
print(f"peak memory: 1000 rows {peak_small} kB, 200000 rows {peak_large} kB, difference "
      f"{growth:.1%} (target within 10%) {verdict(growth <= 0.10)}")
sys.exit(0 if passed else 1)
PYTHON
