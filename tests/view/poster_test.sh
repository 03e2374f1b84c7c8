#!/usr/bin/env bash
# The poster of the sample meet: its QR code, read back from the page as a
# camera would, is the meet's address in the viewer; the meet's name is on the
# page; a poster that cannot be made leaves no file.
#
#   poster_test.sh POSTER_PROGRAM SOURCE_DIR
set -euo pipefail
poster=$1 source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
cd "$work"

"$poster" -o poster.pdf --season 2026 "$source_dir/sample/meet" 192.168.1.20:8808 >out.txt ||
  fail "no poster: $(cat out.txt)"
pdftoppm -r 100 -png -singlefile poster.pdf page
read_back=$(zbarimg --raw -q page.png) || fail "no QR code read from the page"
[ "$read_back" = "http://192.168.1.20:8808/#/2026/2026001" ] || fail "the QR code reads '$read_back'"
pdftotext poster.pdf - | grep -q "第１回県選手権水泳競技大会" || fail "no meet name on the poster"
[ "$(pdfinfo poster.pdf | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\).*/\1 \2/p')" = "595 842" ] ||
  fail "not one A4 page"
pdfinfo poster.pdf | grep -q '^Pages: *1$' || fail "not one page"

for bad in "ftp://192.168.1.20/" "http://a b/" "https://"; do
  if "$poster" -o bad.pdf --season 2026 "$source_dir/sample/meet" "$bad" 2>/dev/null; then
    fail "made a poster for '$bad'"
  fi
  [ ! -e bad.pdf ] || fail "a file was left for '$bad'"
done
status=0; "$poster" -o bad.pdf "$work/no-such-meet" http://192.168.1.20:8808/ 2>err.txt || status=$?
[ "$status" = 1 ] && [ ! -e bad.pdf ] || fail "a missing meet gave status $status"
echo "poster: all checks passed"
