#!/usr/bin/env bash
# Builds the libFuzzer targets of the table readers with clang and runs each for a short
# while, seeded with the sample tables (and their dBase conversions). Skips itself when
# clang++ or its fuzzer runtime is not installed.
#   scripts/fuzz-smoke.sh [SECONDS]   (default 20 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz-smoke: clang++ is not installed; the fuzz targets were not built"
  exit 0
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer - -o /tmp/zandor-fuzz-probe 2>/dev/null; then
  echo "fuzz-smoke: clang's libFuzzer runtime is missing; the fuzz targets were not built"
  exit 0
fi
rm -f /tmp/zandor-fuzz-probe
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDOR_FUZZ=ON \
  -DZANDOR_TESTS=OFF -DZANDOR_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_paradox fuzz_dbase -j "$(nproc)"
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$corpus/paradox" "$corpus/dbase"
cp samples/*.DB "$corpus/paradox/"
# dBase and FoxPro seeds, when a zandor-cli is built already.
for cli in build-asan/src/zandor-cli build/src/zandor-cli; do
  if [ -x "$cli" ]; then
    ASAN_OPTIONS=detect_leaks=0 "$cli" convert samples/single_region.DB "$corpus/dbase/s.dbf" --to dbase 2>/dev/null || true
    ASAN_OPTIONS=detect_leaks=0 "$cli" convert samples/urban_rural.DB "$corpus/dbase/f.dbf" --to foxpro 2>/dev/null || true
    break
  fi
done
export ASAN_OPTIONS="detect_leaks=0"
for target in paradox dbase; do
  echo "fuzz-smoke: fuzz_$target for ${seconds}s"
  build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -max_len=65536 -print_final_stats=0 \
    "$corpus/$target" 2>&1 | tail -n 2
done
