#!/usr/bin/env bash
# The window folders of src/ui stand in layers, from the bottom up: common, session, charts,
# tables, projection, analysis, wizard, app. A file includes only from its own folder or a lower
# one, so state (session) never depends on a window and no window on the main window's folder.
# Fails naming every include that runs upward (resources/ holds the manual and icons, no code).
set -euo pipefail
cd "$(dirname "$0")/../src/ui"
order=(common session charts tables projection analysis wizard app)
rank() { local i; for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done; echo 99; }
bad=0
for from in "${order[@]}"; do
  for file in "$from"/*; do
    for to in $(grep -oE '#include "ui/[a-z_]+/' "$file" | sed -E 's#.*ui/([a-z_]+)/#\1#' | sort -u); do
      if [ "$(rank "$to")" -gt "$(rank "$from")" ]; then
        echo "src/ui/$file includes from the higher folder ui/$to" >&2
        bad=1
      fi
    done
  done
done
for folder in */; do
  [ "$folder" != resources/ ] && [ "$(rank "${folder%/}")" = 99 ] && { echo "src/ui/$folder has no place in the layers of scripts/check-ui-layers.sh" >&2; bad=1; }
done
exit "$bad"
