#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian machine, builds Quillon and extracts the bundled example drawings:
# the title blocks of every sheet, then the tagged equipment.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quillon-extract -j "$(nproc)"
echo "== Title blocks (examples/titleblock.txt) =="
build/default/src/quillon-extract examples/titleblock.txt examples
echo "== Equipment (examples/equipment.txt) =="
build/default/src/quillon-extract examples/equipment.txt examples
