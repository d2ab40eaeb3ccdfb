#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of this build folder, unpacks it into a temporary root and runs the
# installed programs there as a user would: quillon-extract and `quillon LIST.dlf` on the
# installed examples, quillon-page into the program folder. An installed copy must keep its
# files (extract.txt, err.log, attr.htm, faq.fil) in the user's data folder, both under a prefix
# the user may write to and under a read-only one. lintian and desktop-file-validate, where
# installed, must find no error.
# Usage: package_test.sh CPACK BUILD_DIR      Exit 77 (skipped) without dpkg-deb/dpkg-shlibdeps.
set -euo pipefail
cpack="$1"
build="$2"

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (Debian package dpkg-dev)"
    exit 77
  fi
done

scratch="$(mktemp -d)"
cleanup() {
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
# Another user (nobody, below) walks through this folder.
chmod 755 "$scratch"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

echo "== package"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
deb="$(ls "$scratch"/package/quillon_*.deb)"
echo "$deb"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libqt6widgets6 libqt6core6 libsqlite3-0 libzip4 libpugixml1v5; do
  [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/quillon usr/bin/quillon-extract usr/bin/quillon-search usr/bin/quillon-page \
            usr/bin/quillon-update usr/share/man/man1/quillon-update.1.gz \
            usr/bin/quillon-index usr/share/man/man1/quillon-index.1.gz \
            usr/share/quillon/faq.fil usr/share/quillon/examples/titleblock.txt \
            usr/share/quillon/examples/title-blocks.dlf \
            usr/share/applications/quillon.desktop \
            usr/share/icons/hicolor/scalable/apps/quillon.svg \
            usr/share/mime/packages/quillon.xml usr/share/doc/quillon/copyright \
            usr/share/man/man1/quillon.1.gz usr/share/man/man1/quillon-extract.1.gz \
            usr/share/man/man1/quillon-search.1.gz usr/share/man/man1/quillon-page.1.gz; do
  [ -e "$root/$file" ] || fail "the package holds no $file"
done
[ ! -e "$root/usr/bin/quillon-screenshot" ] || fail "the screenshot tool is in the package"
# Built with the PostgreSQL client library (registers on a server), the package needs it too.
if objdump -p "$root/usr/bin/quillon-index" | grep -q "NEEDED *libpq"; then
  [[ "$depends" == *libpq5* ]] || fail "the package does not depend on libpq5"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/quillon.desktop" ||
    fail "the desktop entry is not valid"
else
  echo "desktop-file-validate is not installed: the desktop entry was not checked by it"
fi
grep -qx 'MimeType=application/x-quillon-drawing-list;' "$root/usr/share/applications/quillon.desktop" ||
  fail "the desktop entry does not open drawing lists"
grep -q 'type="application/x-quillon-drawing-list"' "$root/usr/share/mime/packages/quillon.xml" ||
  fail "the MIME entry does not name the drawing list type"
grep -q '<glob pattern="\*.dlf"/>' "$root/usr/share/mime/packages/quillon.xml" ||
  fail "the MIME entry does not match .dlf files"
# The shipped drawing list names the examples where the package puts them.
grep -q '^/usr/share/quillon/examples/cooling-water.dxf,/usr/share/quillon/examples/titleblock.txt' \
  "$root/usr/share/quillon/examples/title-blocks.dlf" || fail "title-blocks.dlf names other paths"

examples="$root/usr/share/quillon/examples"
expected_titles="'BOILER-FEED.DXF','TITLE','5E','PID-1002','Boiler feed water, sheet 1','A'
'BOILER-FEED.DXF','TITLE','6A','PID-1003','Boiler feed water, sheet 2','A'
'COOLING-WATER.DXF','TITLE','63','PID-1001','Cooling water circuit','C'
'TANK-FARM.DXF','TITLE','59','PID-2001','Tank farm transfer','B'"

# Runs the installed programs as user $1 (empty: this user) with home folder $2, and checks
# that every file they write lands in the user's data folder, none beside the programs.
runInstalled() {
  local user="$1" home="$2"
  local as=()
  if [ -n "$user" ]; then
    as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
  fi
  mkdir -p "$home/out" "$home/runtime"
  chmod 700 "$home/runtime"
  [ -z "$user" ] || chown -R "$user" "$home"
  local env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data"
             XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen)
  local data="$home/data/Quillon/Quillon"
  local before
  before="$(ls -A "$root/usr/bin")"

  echo "-- quillon-extract"
  local records
  records="$("${as[@]}" "${env[@]}" "$root/usr/bin/quillon-extract" "$examples/titleblock.txt" "$examples" | tr -d '\r')" ||
    fail "quillon-extract failed"
  echo "$records"
  [ "$records" = "$expected_titles" ] || fail "quillon-extract printed other records"
  for file in extract.txt err.log faq.fil; do
    [ -f "$data/$file" ] || fail "$file is not in the user's data folder $data"
  done
  cmp -s "$data/faq.fil" "$root/usr/share/quillon/faq.fil" || fail "faq.fil in $data is not the shipped one"

  echo "-- quillon-page"
  local page
  page="$("${as[@]}" "${env[@]}" "$root/usr/bin/quillon-page" "$examples/tank-farm.dxf")" ||
    fail "quillon-page failed"
  [ "$page" = "$data/attr.htm" ] || fail "quillon-page wrote $page, not $data/attr.htm"
  grep -q 'PID-2001' "$data/attr.htm" || fail "attr.htm does not show the drawing's attributes"

  echo "-- quillon LIST.dlf"
  cat >"$home/out/LIST.dlf" <<LIST
' the installed examples' title blocks
DWGNAME
$examples/cooling-water.dxf,$examples/titleblock.txt
$examples/tank-farm.dxf,$examples/titleblock.txt
EXTRACT TO FILE $home/out/titles.csv,,TAGS
END
LIST
  [ -z "$user" ] || chown "$user" "$home/out/LIST.dlf"
  "${as[@]}" "${env[@]}" timeout 60 "$root/usr/bin/quillon" "$home/out/LIST.dlf" ||
    fail "quillon LIST.dlf failed or did not end"
  local csv
  csv="$(ls "$home/out" | grep -i '^titles.csv$' || true)"
  [ -n "$csv" ] || fail "quillon LIST.dlf wrote no titles.csv in $home/out"
  tr -d '\r' <"$home/out/$csv"
  grep -q "COOLING-WATER.DXF.*PID-1001" "$home/out/$csv" || fail "titles.csv lacks cooling-water's title block"
  grep -q "TANK-FARM.DXF.*PID-2001" "$home/out/$csv" || fail "titles.csv lacks tank-farm's title block"

  [ "$(ls -A "$root/usr/bin")" = "$before" ] || fail "files were written beside the installed programs"
}

echo "== installed under a prefix this user may write to"
runInstalled "" "$scratch/home-writable"

echo "== installed read-only"
chmod -R a-w "$root/usr"
if [ "$(id -u)" -eq 0 ]; then
  # Permissions do not bind root: run as an ordinary user.
  runInstalled nobody "$scratch/home-nobody"
else
  runInstalled "" "$scratch/home-readonly"
fi

if command -v lintian >/dev/null; then
  echo "== lintian"
  lintian --fail-on error "$deb" || fail "lintian found errors"
else
  echo "lintian is not installed: the package was not checked by it"
fi
echo "PASS"
