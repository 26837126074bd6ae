#!/usr/bin/env bash
# Builds the Debian package velmora with CPack and checks it: the control fields (dependencies
# from dpkg-shlibdeps and the ones named by hand), the files (programs, desktop entries, icons,
# manual page, manual, samples) and the desktop entries (desktop-file-validate).
#
#   scripts/package.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build-package, configured as a release build installing under /usr.
# CI passes its test build (build-asan) to check the packaging without building again; that
# package carries the sanitizer runtime and is for checking only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DZANDOR_TESTS=OFF -DZANDOR_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/velmora_*.deb)"

fail() { echo "package.sh: $*" >&2; exit 1; }
info="$(dpkg-deb -I "$deb")"
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
echo "$info"
grep -q '^ Package: velmora$' <<<"$info" || fail "the package is not named velmora"
depends="$(sed -n 's/^ Depends: //p' <<<"$info")"
for dep in libqt6widgets6 libqt6svg6 libqt6printsupport6 fonts-wqy-microhei qt6-translations-l10n; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
for file in ./usr/bin/Zandor ./usr/bin/ZandorT ./usr/bin/zandor-cli \
            ./usr/share/applications/zandor.desktop ./usr/share/applications/zandort.desktop \
            ./usr/share/icons/hicolor/scalable/apps/zandor.svg ./usr/share/icons/hicolor/48x48/apps/zandor.png \
            ./usr/share/icons/hicolor/256x256/apps/zandort.png ./usr/share/mime/packages/velmora.xml \
            ./usr/share/man/man1/zandor-cli.1.gz ./usr/share/velmora/help/index.html \
            ./usr/share/velmora/samples/single_region.DB; do
  grep -qxF "$file" <<<"$contents" || fail "$file is not in the package"
done
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate --no-hints "$unpacked"/usr/share/applications/*.desktop
echo "$deb: checked"
