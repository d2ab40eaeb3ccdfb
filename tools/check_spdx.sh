#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lists every source file of ours that does not start with the project's SPDX license line
# (C++ sources and headers, CMake files, Python and shell scripts; after a shebang line
# where there is one) and exits 1 when there is any. Test data and fixtures keep their own
# licenses and are not checked.
# Usage: tools/check_spdx.sh [--list]   (--list prints the checked files instead)
set -euo pipefail
cd "$(dirname "$0")/.."

license="GPL-3.0-or-later"

# Tracked files and new ones not yet added, so a file is caught before its first commit.
ownFiles() {
  git ls-files --cached --others --exclude-standard -z |
    while IFS= read -r -d '' path; do
      [[ -f "$path" ]] || continue
      case "$path" in
        tests/data/* | tests/fixtures/*.dxf | tests/fixtures/contract/* | fuzz/corpus/*/*) continue ;;
      esac
      case "$path" in
        src/*.cpp | src/*.h | tests/*.cpp | tests/*.h | bench/*.cpp | bench/*.h | fuzz/*.cpp | fuzz/*.h)
          echo "cpp $path" ;;
        CMakeLists.txt | */CMakeLists.txt | *.cmake | *.py | *.sh)
          echo "hash $path" ;;
        *)
          # Scripts without an extension (.ci/run) are known by their shebang.
          if [[ "$(head -c 2 "$path")" == "#!" ]]; then echo "hash $path"; fi ;;
      esac
    done
}

hasLine() {
  local kind="$1" path="$2" first second
  first="$(sed -n 1p "$path")"
  if [[ "$kind" == cpp ]]; then
    [[ "$first" == "// SPDX-License-Identifier: $license" ]]
    return
  fi
  if [[ "$first" == "#!"* ]]; then
    second="$(sed -n 2p "$path")"
    [[ "$second" == "# SPDX-License-Identifier: $license" ]]
  else
    [[ "$first" == "# SPDX-License-Identifier: $license" ]]
  fi
}

if [[ "${1:-}" == "--list" ]]; then
  ownFiles | cut -d' ' -f2-
  exit 0
fi

missing=0
while read -r kind path; do
  if ! hasLine "$kind" "$path"; then
    echo "$path"
    missing=$((missing + 1))
  fi
done < <(ownFiles)

if ((missing > 0)); then
  echo "check_spdx: $missing file(s) lack the line \"SPDX-License-Identifier: $license\" at the top" >&2
  exit 1
fi
