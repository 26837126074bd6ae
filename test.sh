#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test; ctest prints the summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZANDOR_SANITIZE=ON -DZANDOR_BENCH=OFF >/dev/null
cmake --build build-asan -j "$(nproc)"
# Qt and fontconfig keep caches for the life of the process; leak reports there are noise.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# The table readers under libFuzzer for a short while (when clang is installed).
scripts/fuzz-smoke.sh 10
cd build-asan && ctest --output-on-failure -j "$(nproc)"
