#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a fresh Debian machine, builds Quillon from scratch, builds its Debian package and runs
# the whole test suite.
# Usage: tools/test.sh [preset]   (a configure preset: default, asan, dev or clang; default when
#                                  omitted; the package is built by the default preset only)
set -euo pipefail
preset="${1:-default}"
cd "$(dirname "$0")/.."
"$(dirname "$0")/setup.sh"
rm -rf "build/$preset"
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
if [ "$preset" = default ]; then
  # The package a user installs with `apt install ./build/default/package/quillon_*.deb`.
  (cd "build/$preset" && cpack -G DEB >cpack.log 2>&1) || { cat "build/$preset/cpack.log"; exit 1; }
  echo "Package: $(ls "build/$preset"/package/quillon_*.deb)"
fi
status=0
ctest --preset "$preset" -j "$(nproc)" | tee "build/$preset/ctest.log" || status=$?
# The summary once more, as the last line: ctest lists the skipped tests below it.
grep -E '^[0-9]+% tests passed' "build/$preset/ctest.log" | tail -n 1 || true
exit "$status"
