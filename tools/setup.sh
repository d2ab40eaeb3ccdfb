#!/usr/bin/env bash
# Installs the Debian packages Quillon builds and tests with (skipped when all are present).
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config gzip qt6-base-dev libgtest-dev python3-ezdxf fonts-liberation libsqlite3-dev sqlite3 libzip-dev libpugixml-dev python3-openpyxl python3-docx libreoffice-writer-nogui poppler-utils chromium)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
