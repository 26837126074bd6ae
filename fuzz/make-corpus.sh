#!/usr/bin/env bash
# Makes the seed corpus under fuzz/corpus/ with zandor-cli itself: small Paradox, dBase and
# FoxPro tables (text, whole numbers, decimals, empty values, dates and logicals), the CSV
# they came from, workbooks, the statements that made them, and a few inputs of the write target.
#   fuzz/make-corpus.sh [ZANDOR-CLI]   (default build-asan/src/zandor-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
cli="$(realpath "${1:-build-asan/src/zandor-cli}")"
export ASAN_OPTIONS=detect_leaks=0
out=fuzz/corpus
rm -rf "$out"
mkdir -p "$out"/{paradox,dbase,dbase_write,statement,csv,xlsx}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

printf '名称,n,x,t\n甲,1,1.5,abc\n乙,,2.25e-7,\n丙,-5,-123456789.123,"x,y"\n' > "$work/mix.csv"
printf 'a,b\r\n"q""uote","line\nbreak"\r\n,\r\n' > "$work/quotes.csv"
cp "$work/mix.csv" "$work/quotes.csv" "$out/csv/"

"$cli" import "$work/mix.csv" "$work/mix.DB" >/dev/null
"$cli" import "$work/mix.csv" "$work/mix.dbf" >/dev/null
"$cli" convert "$work/mix.DB" "$work/fox.dbf" --to foxpro >/dev/null
statements=(
  "Create table \"$work/d.DB\" (日期 date, 是 boolean, 名 char(5), i integer, f float)"
  "Create table \"$work/d.dbf\" (日期 date, 是 boolean, 名 char(5), i integer, f float)"
  "alter table \"$work/d.DB\" add 新 Float"
  "alter table \"$work/d.dbf\" drop 是"
)
i=0
for s in "${statements[@]}"; do
  "$cli" sql "$s" >/dev/null
  printf '%s' "${s//$work\//}" > "$out/statement/s$i"
  i=$((i + 1))
done
cp "$work/mix.DB" "$work/d.DB" "$out/paradox/"
cp "$work/mix.dbf" "$work/fox.dbf" "$work/d.dbf" "$out/dbase/"

# Workbooks: one we write, one LibreOffice Calc wrote (shared strings, a formula's value),
# and the parts of that one as text (the target zips text itself; see fuzz_xlsx.cpp).
"$cli" export "$work/mix.DB" "$out/xlsx/export.xlsx" >/dev/null
cp tests/data/libreoffice.xlsx "$out/xlsx/"
python3 - "$out/xlsx" <<'PY'
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1] + '/libreoffice.xlsx')
names = ['_rels/.rels', 'xl/_rels/workbook.xml.rels', 'xl/workbook.xml', 'xl/sharedStrings.xml',
         'xl/styles.xml', 'xl/worksheets/sheet1.xml']
open(sys.argv[1] + '/parts.txt', 'wb').write(b'\n@@\n'.join(z.read(n) for n in names))
PY

# The write target reads: format, field count, field kinds and sizes, then per step an
# operation and one value per field.
printf '\x00\x04\x00\x05\x01\x00\x02\x00\x04\x00\x00\x01\x61\x62\x63\x01\x00\x00\x00\x2a\x01\x3f\xf8\x00\x00\x00\x00\x00\x00\x01\x01' > "$out/dbase_write/dbase"
printf '\x01\x05\x00\x09\x01\x00\x02\x00\x03\x00\x04\x00\x00\x01\x03abc\x01\xff\xff\xff\xfe\x01\x40\x09\x21\xfb\x54\x44\x2d\x18\x01\x07\xe4\x02\x1d\x01\x01\x05\x00\x01\x01x' > "$out/dbase_write/foxpro"
echo "fuzz corpus made in $out"
