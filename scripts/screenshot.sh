#!/usr/bin/env bash
# Takes a screenshot of Zandor showing the sample single-region table, under a virtual X
# server (xvfb-run), with ImageMagick's import.
#
#   scripts/screenshot.sh [OUTPUT.png] [BUILD_DIR] [TABLE]
#
# OUTPUT defaults to BUILD_DIR/screenshot.png, BUILD_DIR to build/, TABLE to
# samples/single_region.DB (made with the make_samples target when it is missing).
# Needs xvfb, xauth, imagemagick and xdotool.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${2:-$root/build}"
out="${1:-$build/screenshot.png}"
table="${3:-$root/samples/single_region.DB}"

# A sanitizer build reports the code-page converters it keeps for the whole run as leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
for tool in xvfb-run import xdotool; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing (apt-get install xvfb imagemagick xdotool)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DZANDOR_BENCH=OFF >/dev/null
cmake --build "$build" --target Zandor >/dev/null
if [ ! -f "$table" ]; then
  cmake --build "$build" --target make_samples >/dev/null
  samples="$(mktemp -d)"
  trap 'rm -rf "$samples"' EXIT
  "$build/make_samples" "$samples" >/dev/null
  table="$samples/$(basename "$table")"
fi

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -eu
  "$1" "$2" &
  program=$!
  # The splash goes after four seconds; then the main window, titled Velmora, appears.
  window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Velmora$" | head -n 1)
  # Without a window manager nobody maximises the window: give it the whole screen.
  xdotool windowmove "$window" 0 0 windowsize "$window" 100% 100%
  sleep 1
  import -window root "$3"
  kill "$program"
  wait "$program" 2>/dev/null || true
' screenshot "$build/apps/Zandor" "$table" "$out"
echo "$out"
