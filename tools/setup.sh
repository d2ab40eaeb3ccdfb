#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Quillon builds and tests with (skipped when all are present).
# The peers that only some tests use (a browser for the attribute page, LibreOffice for the
# documents) are installed where they can be; the tests that need them say so and skip.
set -euo pipefail
required=(cmake ninja-build g++ pkg-config gzip qt6-base-dev libgtest-dev python3-ezdxf
          fonts-liberation libsqlite3-dev sqlite3 libzip-dev libpugixml-dev python3-openpyxl
          python3-docx clang-format
          # registers on a server: the client library, and the server the tests start
          libpq-dev postgresql
          # the second compiler (its warnings) and the fuzz targets' runtime
          clang libclang-rt-dev
          # the Debian package: built by cpack (dpkg-dev, file), checked by lintian and
          # desktop-file-validate
          dpkg-dev file lintian desktop-file-utils)
optional=(libreoffice-writer-nogui poppler-utils chromium)

missingOf() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missingOf "${required[@]}")
mapfile -t missingOptional < <(missingOf "${optional[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#missingOptional[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  export DEBIAN_FRONTEND=noninteractive
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y "${missing[@]}"
  fi
  for p in "${missingOptional[@]}"; do
    $sudo apt-get install -y "$p" || echo "setup: $p could not be installed; its tests will skip"
  done
fi

# LibreDWG for the DWG write tests, from the npm registry at the version the lock file names,
# into the build tree (build/peers/libredwg); done again only when the lock file changes.
peerSource="$(dirname "$0")/peers/libredwg"
peer="$(dirname "$0")/../build/peers/libredwg"
# nodejs and npm run it; a machine may have them from elsewhere than Debian.
if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y nodejs npm ||
    echo "setup: nodejs and npm could not be installed"
fi
if command -v npm >/dev/null && command -v node >/dev/null; then
  if ! cmp -s "$peerSource/package-lock.json" "$peer/package-lock.json" ||
     [ ! -d "$peer/node_modules/@mlightcad/libredwg-web" ]; then
    rm -rf "$peer"
    mkdir -p "$peer"
    cp "$peerSource/package.json" "$peerSource/package-lock.json" "$peer/"
    (cd "$peer" && npm ci --ignore-scripts --no-audit --no-fund) ||
      echo "setup: LibreDWG could not be installed; the DWG peer checks will skip"
  fi
  cp "$peerSource/dwg_attributes.mjs" "$peer/"
else
  echo "setup: no nodejs; the DWG peer checks will skip"
fi
