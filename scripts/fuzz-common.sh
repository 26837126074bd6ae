# Shared by fuzz-smoke.sh and fuzz.sh: builds the libFuzzer targets with clang (the table
# code and every library they link instrumented) into build-fuzz, or says why it cannot.
# Sets FUZZ_TARGETS; returns 2 when clang or its fuzzer runtime is missing, 1 when the build
# fails (callers run it in a test of its status, where `set -e` does not act inside it).
FUZZ_TARGETS=(fuzz_paradox fuzz_dbase fuzz_dbase_write fuzz_statement fuzz_csv fuzz_ascii fuzz_schedule fuzz_chart_axis fuzz_xlsx)

fuzz_build() {
  if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed; the fuzz targets were not built"
    return 2
  fi
  if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
       clang++ -x c++ -fsanitize=fuzzer - -o /tmp/zandor-fuzz-probe 2>/dev/null; then
    echo "fuzz: clang's libFuzzer runtime is missing; the fuzz targets were not built"
    return 2
  fi
  rm -f /tmp/zandor-fuzz-probe
  CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDOR_FUZZ=ON \
    -DZANDOR_TESTS=OFF -DZANDOR_BENCH=OFF >/dev/null || return 1
  cmake --build build-fuzz --target "${FUZZ_TARGETS[@]}" -j "$(nproc)" || return 1
}

# The corpus folder of a target in the repository (fuzz/corpus/NAME for fuzz_NAME).
fuzz_corpus() { echo "fuzz/corpus/${1#fuzz_}"; }
