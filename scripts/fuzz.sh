#!/usr/bin/env bash
# The longer fuzzing run: each target in turn for MINUTES minutes (niced, one at a time), on
# a copy of its seed corpus, then a line per target with the edges covered, the executions
# and their rate. A crash, or an input that runs a minute (a hang), stops the run and leaves
# its input in build-fuzz/crashes/.
#   scripts/fuzz.sh MINUTES [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:?usage: scripts/fuzz.sh MINUTES [TARGET...]}"
shift
source scripts/fuzz-common.sh
fuzz_build || exit 1
[ "$#" -gt 0 ] && FUZZ_TARGETS=("$@")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/crashes build-fuzz/logs
export ASAN_OPTIONS="detect_leaks=0"
summary=()
for target in "${FUZZ_TARGETS[@]}"; do
  mkdir -p "$work/$target"
  cp "$(fuzz_corpus "$target")"/* "$work/$target/"
  log="build-fuzz/logs/$target.log"
  echo "fuzz: $target for $minutes min (log in $log)"
  status=0
  nice -n 19 build-fuzz/fuzz/$target -max_total_time=$((minutes * 60)) -max_len=65536 -timeout=60 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/$target- "$work/$target" >"$log" 2>&1 || status=$?
  edges="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)"
  runs="$(grep -o 'number_of_executed_units: [0-9]*' "$log" | cut -d' ' -f2)"
  rate="$(grep -o 'average_exec_per_sec: [0-9]*' "$log" | cut -d' ' -f2)"
  summary+=("$(printf '%-18s edges %-6s executions %-10s per second %-6s %s' "$target" "${edges:-?}" \
    "${runs:-?}" "${rate:-?}" "$([ "$status" -eq 0 ] && echo ok || echo "FAILED (status $status)")")")
  [ "$status" -eq 0 ] || break
done
printf '%s\n' "${summary[@]}"
