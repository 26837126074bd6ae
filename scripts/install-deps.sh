#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the look at the program need.
# Does nothing when all are present; otherwise runs apt-get update first.
set -euo pipefail
packages=(
  cmake g++ make ccache pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev fonts-wqy-microhei
  libgtest-dev libgmock-dev libbenchmark-dev
  pxlib-dev python3-dbf
  libxlsxwriter-dev libzip-dev python3-openpyxl libreoffice-calc-nogui
  qt6-translations-l10n
  xvfb xauth xdotool imagemagick unrtf
  dpkg-dev file desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
