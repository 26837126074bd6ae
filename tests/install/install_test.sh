#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed programs from there: the
# version, the structure of the installed sample table, the desktop entries and the manual page.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build="$1"
version="$2"
prefix="$(mktemp -d "${TMPDIR:-/tmp}/zandor-install.XXXXXX")"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install_test: $*" >&2; exit 1; }
expect() {  # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

expect "zandor-cli --version" "zandor-cli $version" "$("$prefix/bin/zandor-cli" --version)"
expect "Zandor --version" "Zandor $version" "$("$prefix/bin/Zandor" --version)"
expect "ZandorT --version" "ZandorT $version" "$("$prefix/bin/ZandorT" --version)"

sample="$prefix/share/velmora/samples/single_region.DB"
expect "zandor-cli info on the installed sample" \
  "number,name,type,width
1,年龄,Integer,
2,男性人口,Float,
3,女性人口,Float,
4,男性死亡率,Float,
5,女性死亡率,Float,
6,年龄别生育率,Float," "$("$prefix/bin/zandor-cli" info "$sample")"

for file in share/velmora/help/index.html share/velmora/samples/urban_rural.DB \
            share/man/man1/zandor-cli.1.gz share/mime/packages/velmora.xml \
            share/icons/hicolor/scalable/apps/zandor.svg share/icons/hicolor/48x48/apps/zandort.png; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
# The manual page has a section for every command of the general help.
manual="$(gzip -dc "$prefix/share/man/man1/zandor-cli.1.gz")"
for command in $("$prefix/bin/zandor-cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p'); do
  grep -qxF ".SS ${command//-/\\-}" <<<"$manual" || fail "the manual page has no section for $command"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate --no-hints "$prefix"/share/applications/zandor.desktop "$prefix"/share/applications/zandort.desktop
fi
echo "installed and ran from $prefix"
