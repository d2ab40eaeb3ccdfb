#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ source or header of ours is not formatted as .clang-format says, naming
# each place clang-format would change. Silent on success.
# Fix with: clang-format -i $(tools/check_format.sh --list)
# Usage: tools/check_format.sh [--list]   (--list prints the checked files instead)
set -euo pipefail
cd "$(dirname "$0")/.."

# Tracked files and new ones not yet added; test data and fixtures are left as they are.
files=()
while IFS= read -r -d '' path; do
  case "$path" in
    tests/data/* | tests/fixtures/*) continue ;;
  esac
  [[ -f "$path" ]] && files+=("$path")
done < <(git ls-files --cached --others --exclude-standard -z -- \
  'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')

if ((${#files[@]} == 0)); then
  echo "check_format: found no source file to check" >&2
  exit 1
fi

if [[ "${1:-}" == "--list" ]]; then
  printf '%s\n' "${files[@]}"
  exit 0
fi

if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "check_format: the files above are not formatted; run: clang-format -i \$(tools/check_format.sh --list)" >&2
  exit 1
fi
