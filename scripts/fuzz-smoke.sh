#!/usr/bin/env bash
# Builds the libFuzzer targets (table readers, the dBase writer, the statement parser, the
# CSV reader, the ASCII table pair, schedule files, chart axes and layout) and runs each for a short while on a copy of its seed corpus (fuzz/corpus).
# Skips itself when clang++ or its fuzzer runtime is not installed.
#   scripts/fuzz-smoke.sh [SECONDS]   (default 20 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
source scripts/fuzz-common.sh
# No clang: nothing to fuzz here. A fuzz build that fails is a failure like any other.
status=0
fuzz_build || status=$?
[ "$status" -eq 2 ] && exit 0
[ "$status" -ne 0 ] && exit "$status"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=0"
for target in "${FUZZ_TARGETS[@]}"; do
  mkdir -p "$work/$target"
  cp "$(fuzz_corpus "$target")"/* "$work/$target/"
  echo "fuzz-smoke: $target for ${seconds}s"
  build-fuzz/fuzz/$target -max_total_time="$seconds" -max_len=65536 -print_final_stats=0 \
    "$work/$target" 2>&1 | tail -n 2
done
