#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian machine, builds Quillon from scratch and runs the whole test suite.
# Usage: tools/test.sh [preset]   (preset: default or asan; default when omitted)
set -euo pipefail
preset="${1:-default}"
cd "$(dirname "$0")/.."
"$(dirname "$0")/setup.sh"
rm -rf "build/$preset"
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
