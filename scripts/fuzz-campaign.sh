#!/usr/bin/env bash
# The long fuzzing campaign: every libFuzzer target for SECONDS each (default 600), in a clang
# build of its own (build-fuzz), each on a working copy of its seed corpus. New crashes land in
# build-fuzz/findings/<target>/; the executions per target are printed at the end.
#   fuzz-campaign.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
dir=${SELVANO_FUZZ_DIR:-build-fuzz}
command -v clang++ >/dev/null || { echo "fuzz-campaign: clang++ is needed" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t targets < <(find tests/fuzz -name 'fuzz_*.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
cmake --build "$dir" -j"${SELVANO_JOBS:-2}" --target "${targets[@]}"
summary=()
for t in "${targets[@]}"; do
  source=$(find tests/fuzz -name "$t.cpp" -printf '%h\n' | head -1)
  seeds="$source/corpus/$t"
  [ -d "$seeds" ] || seeds="$source/corpus"
  work="$dir/corpus/$t"
  findings="$dir/findings/$t"
  mkdir -p "$work" "$findings"
  cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  log="$dir/findings/$t.log"
  set +e
  "$dir/bin/$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  summary+=("$t: $runs executions, exit $rc, findings $(find "$findings" -type f | wc -l)")
done
printf '%s\n' "${summary[@]}"
