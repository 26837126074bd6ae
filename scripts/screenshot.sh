#!/usr/bin/env bash
# Pictures of Zandor for the help manual: starts the real program on a copy of the sample
# tables under a virtual X server (xvfb-run, with openbox when it is installed), opens each
# dialog from its menu with the keyboard, and writes one PNG per window into help/ (the
# package installs help/*.png), plus help/main_window.png.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]
#
# BUILD_DIR defaults to build-asan/ (what ./test.sh builds) when it exists, else build/; OUT_DIR
# to help/. Needs xvfb, xauth, imagemagick and xdotool (openbox for the window frames).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
default_build="$root/build"
[ -d "$root/build-asan" ] && default_build="$root/build-asan"
build="${1:-$default_build}"
out="${2:-$root/help}"

# A sanitizer build reports the code-page converters it keeps for the whole run as leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
for tool in xvfb-run import xdotool; do
  command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing (apt-get install xvfb imagemagick xdotool)" >&2; exit 1; }
done
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DZANDOR_BENCH=OFF >/dev/null
cmake --build "$build" --target Zandor >/dev/null

# The program works on copies: the samples stay as they are, and the documents folder is a
# scratch one (the start panel's sample copy goes there).
# A fixed folder, so that the paths the dialogs show are the same in every picture.
scratch=/tmp/velmora-screens
rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
cp "$root/samples/single_region.DB" "$root/samples/urban_rural.DB" "$scratch/"
chmod u+w "$scratch"/*.DB
mkdir -p "$out"

xvfb-run -a -s "-screen 0 1400x1000x24" bash -s "$build/apps/Zandor" "$scratch" "$out" <<'SHOTS'
set -eu
program="$1"; scratch="$2"; out="$3"
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" LANG=zh_CN.UTF-8
if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 1; fi

# Starts the program on a table and waits for its main window (after the splash).
start() {
  "$program" "$1" >/dev/null 2>&1 &
  app=$!
  main=$(timeout 60 xdotool search --sync --onlyvisible --name "^Velmora$" | head -n 1)
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  sleep 1
}
stop() { kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; }

# shot NAME KEYS...: the keys open a window; its picture is NAME.png; Escape closes it.
shot() {
  local name="$1"; shift
  for key in "$@"; do xdotool key --clearmodifiers "$key"; sleep 0.4; done
  sleep 1.5
  local window
  window=$(xdotool getactivewindow)
  if [ "$window" = "$main" ]; then
    echo "screenshot.sh: $name did not open" >&2
    return
  fi
  import -frame -window "$window" "$out/$name.png" 2>/dev/null || import -window "$window" "$out/$name.png"
  xdotool key Escape
  sleep 0.6
  # A window that asks before it closes, or a second one, goes too.
  if [ "$(xdotool getactivewindow)" != "$main" ]; then xdotool key Escape; sleep 0.6; fi
}

start "$scratch/single_region.DB"
import -window root -resize 1000x "$out/main_window.png"
shot dlg_life_table        alt+p l
shot dlg_quality_age       alt+p e a
shot dlg_quality_un        alt+p e u
shot dlg_end_of_year       alt+p u
shot dlg_standardization   alt+p z
shot dlg_single_region     alt+p p s
shot dlg_wizard            alt+f y
shot dlg_restructure       alt+d r
shot dlg_convert           alt+d v
shot dlg_compute           alt+d c
shot dlg_chart_line        alt+g l
shot dlg_chart_bar         alt+g b
shot dlg_chart_hbar        alt+g h
shot dlg_chart_point       alt+g p
shot dlg_chart_area        alt+g a
shot dlg_scatter           alt+g s
shot dlg_age_pyramid       alt+g t
shot dlg_about             alt+h a

# A single-region projection of the sample, 2000-2010: the five fields chosen in their lists
# (positions on the 1400x1000 screen, the dialog centred on the maximised window), then the
# results dialog, its listing and a bar chart of the total population.
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
xdotool key alt+p; sleep 0.3; xdotool key p; sleep 0.3; xdotool key s; sleep 1.5
item=1
for y in 275 305 335 366 396; do
  click 802 "$y"
  xdotool key Home
  for _ in $(seq "$item"); do xdotool key Down; done
  xdotool key Return; sleep 1
  item=$((item + 1))
done
click 921 715 4
import -frame -window "$(xdotool getactivewindow)" "$out/result_projection.png"
click 762 517 2
import -frame -window "$(xdotool getactivewindow)" "$out/result_listing.png"
xdotool key Escape; sleep 0.6
click 656 477 0.3
click 762 517 8
import -window "$(xdotool getactivewindow)" -resize 1000x "$out/result_projection_chart.png"
stop

start "$scratch/urban_rural.DB"
shot dlg_urban_rural       alt+p p m
stop
SHOTS
ls "$out"/*.png
