#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time (seconds, default
# 60) on a scratch copy of the committed seed corpus. Any crash, hang, leak or
# sanitizer report makes the script fail; its reproducer is left in the
# scratch directory, whose path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz_list_input fuzz_number_output fuzz_csv_reader

scratch="$(mktemp -d "${TMPDIR:-/tmp}/recharge-fuzz.XXXXXX")"
status=0
for name in list_input number_output csv_reader; do
  mkdir -p "$scratch/$name/corpus" "$scratch/$name/artifacts"
  cp fuzz/corpus/"$name"/* "$scratch/$name/corpus/"
  echo "== fuzz_$name for ${seconds}s"
  failed=0
  build/fuzz/fuzz_"$name" -max_total_time="$seconds" -max_len=100000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$scratch/$name/artifacts/" \
    "$scratch/$name/corpus" 2>"$scratch/$name/log" || failed=1
  grep -E '^stat::' "$scratch/$name/log" || true
  if [ "$failed" -ne 0 ] || [ -n "$(ls -A "$scratch/$name/artifacts")" ]; then
    status=1
    tail -n 60 "$scratch/$name/log"
    echo "fuzz_$name failed; reproducers in $scratch/$name/artifacts" >&2
  fi
done
[ "$status" -eq 0 ] && rm -rf "$scratch"
exit "$status"
