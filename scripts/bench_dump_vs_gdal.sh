#!/usr/bin/env bash
# Times `zandor-cli dump` against GDAL's `ogr2ogr -f CSV /vsistdout/` on the same dBase file
# of RECORDS records (default 1,000,000) with six floating-point fields, and prints both
# figures and their ratio. Builds zandor-cli (release, build-release/) when needed; the test
# data is made once under build-release/bench-data/ through `zandor-cli import`.
# Uses hyperfine when installed, otherwise the best of RUNS (default 5) timed runs each.
set -euo pipefail
cd "$(dirname "$0")/.."

records="${RECORDS:-1000000}"
runs="${RUNS:-5}"
build=build-release

command -v ogr2ogr >/dev/null || { echo "ogr2ogr is not installed (package gdal-bin)" >&2; exit 1; }

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZANDOR_TESTS=OFF -DZANDOR_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target zandor-cli -j 2 >/dev/null
cli="$build/src/zandor-cli"

data="$build/bench-data"
mkdir -p "$data"
table="$data/six_floats_$records.dbf"
if [ ! -f "$table" ]; then
  echo "Making $table ..."
  csv="$data/six_floats_$records.csv"
  awk -v n="$records" 'BEGIN {
      print "MALE_POP,FEMALE_POP,MALE_RATE,FEM_RATE,FERTILITY,MIGRATION";
      srand(20240601);
      for (i = 0; i < n; i++)
        printf "%.1f,%.1f,%.6f,%.6f,%.5f,%.4f\n", rand() * 500000, rand() * 500000,
               rand() * 0.3, rand() * 0.3, rand() * 0.2, rand() * 2 - 1;
    }' >"$csv"
  "$cli" import "$csv" "$table.tmp.dbf"
  mv "$table.tmp.dbf" "$table"
  rm -f "$csv"
fi

# Both tools must write every record before their times mean anything.
zandor_lines=$("$cli" dump "$table" | wc -l)
ogr_lines=$(ogr2ogr -f CSV /vsistdout/ "$table" | wc -l)
if [ "$zandor_lines" -ne $((records + 1)) ] || [ "$ogr_lines" -ne $((records + 1)) ]; then
  echo "line counts differ: zandor-cli $zandor_lines, ogr2ogr $ogr_lines, expected $((records + 1))" >&2
  exit 1
fi

echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Table: $table ($(du -h "$table" | cut -f1), $records records of six Float fields)"

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs "$runs" --export-json "$data/hyperfine.json" \
    -n zandor-cli "$cli dump '$table' >/dev/null" \
    -n ogr2ogr "ogr2ogr -f CSV /vsistdout/ '$table' >/dev/null"
  zandor=$(python3 -c "import json;d=json.load(open('$data/hyperfine.json'));print(min(d['results'][0]['times']))")
  ogr=$(python3 -c "import json;d=json.load(open('$data/hyperfine.json'));print(min(d['results'][1]['times']))")
else
  best_of() {
    local best="" start end t
    for _ in $(seq "$runs"); do
      start=$(date +%s.%N)
      "$@" >/dev/null
      end=$(date +%s.%N)
      t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')
      if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
    done
    echo "$best"
  }
  "$cli" dump "$table" >/dev/null  # warm the page cache
  zandor=$(best_of "$cli" dump "$table")
  ogr=$(best_of ogr2ogr -f CSV /vsistdout/ "$table")
fi

printf 'zandor-cli dump                  best %.3f s\n' "$zandor"
printf 'ogr2ogr -f CSV /vsistdout/       best %.3f s\n' "$ogr"
printf 'ratio ogr2ogr / zandor-cli       %.2f (above 1: zandor-cli is faster)\n' \
  "$(awk -v a="$ogr" -v b="$zandor" 'BEGIN { print a / b }')"
