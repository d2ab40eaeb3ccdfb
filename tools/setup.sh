#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Quillon builds and tests with (skipped when all are present).
# The peers that only some tests use (a browser for the attribute page, LibreOffice for the
# documents) are installed where they can be; the tests that need them say so and skip.
set -euo pipefail
required=(cmake ninja-build g++ pkg-config gzip qt6-base-dev libgtest-dev python3-ezdxf
          fonts-liberation libsqlite3-dev sqlite3 libzip-dev libpugixml-dev python3-openpyxl
          python3-docx clang-format
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
