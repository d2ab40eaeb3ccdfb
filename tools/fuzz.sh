#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each for a while on a copy of its seed
# corpus; fails when any target finds a crash, a sanitizer report, a leak or a hang.
#
#   tools/fuzz.sh [--seconds N] [--build DIR] [--jobs N] [TARGET...]
#
#   --seconds N  how long each target runs (default 60)
#   --build DIR  the clang build folder (default build/fuzz), configured when needed
#   --jobs N     build jobs, and targets fuzzed at once (default: the number of processors)
#   TARGET       run only these targets (default: all of them)
#
# The committed seeds stay as they are: each target runs in DIR/fuzz-runs/TARGET, with a copy of
# its seeds in corpus/, a current folder of its own (relative paths in list files resolve there)
# and TMPDIR there too. A finding is kept as DIR/fuzz-runs/TARGET/crash-* (or leak-, timeout-,
# oom-); reproduce it with DIR/fuzz/TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=60
build=build/fuzz
jobs=$(nproc)
selected=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) selected+=("$1"); shift ;;
  esac
done

all=(fuzz_dxf_reader fuzz_dwg_reader fuzz_dxf_value_writer fuzz_dwg_value_writer fuzz_template
     fuzz_drawing_list fuzz_xlsx_workbook fuzz_docx_document fuzz_edit_sources)
[ ${#selected[@]} -gt 0 ] || selected=("${all[@]}")

# The seeds of each target: its folder under fuzz/corpus, and for the drawing readers the test
# drawings (every DXF flavour, every DWG release).
seedsOf() {
  case "$1" in
    fuzz_dxf_reader) ls "$root"/tests/fixtures/dxf/*.dxf ;;
    fuzz_dwg_reader) ls "$root"/tests/data/drawings/autocad/*.dwg ;;
    *) ls -d "$root"/fuzz/corpus/"$1"/* ;;
  esac
}
optionsOf() {
  case "$1" in
    fuzz_dxf_reader) echo "-dict=$root/fuzz/dxf.dict -max_len=65536" ;;
    fuzz_dwg_reader) echo "-max_len=600000" ;;
    fuzz_xlsx_workbook | fuzz_docx_document) echo "-max_len=65536" ;;
    *) echo "-max_len=4096" ;;
  esac
}

if [ ! -f "$build/build.ninja" ] || ! grep -q 'QUILLON_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
  # The fuzz preset's settings, in the folder asked for.
  cmake --preset fuzz -B "$build" >/dev/null
fi
cmake --build "$build" --parallel "$jobs" --target "${selected[@]}"

# Fuzzes one target; its report goes to DIR/fuzz-runs/TARGET/report.txt, printed when it ends.
fuzzTarget() {
  local target="$1"
  local binary="$root/$build/fuzz/$target"
  local run="$root/$build/fuzz-runs/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/cwd" "$run/tmp"
  seedsOf "$target" | while read -r seed; do cp "$seed" "$run/corpus/"; done
  {
    echo "== $target: ${seconds} s on $(ls "$run/corpus" | wc -l) seeds"
    # shellcheck disable=SC2046 # the options are words
    if (cd "$run/cwd" && TMPDIR="$run/tmp" QT_QPA_PLATFORM=offscreen \
          "$binary" "$run/corpus" $(optionsOf "$target") -max_total_time="$seconds" \
          -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$run/" \
          >"$run/log.txt" 2>&1); then
      grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$run/log.txt" | tr '\n' ' '
      echo
    else
      echo "!! $target found a problem; log: $run/log.txt"
      grep -E 'ERROR:|SUMMARY:|^artifact_prefix|Test unit written' "$run/log.txt" | head -5
      return 1
    fi
  } >"$run/report.txt" 2>&1
}

# The targets run --jobs at a time, each for its full time.
failed=()
declare -A running=()
reap() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  cat "$root/$build/fuzz-runs/${running[$pid]}/report.txt"
  [ "$status" -eq 0 ] || failed+=("${running[$pid]}")
  unset "running[$pid]"
}
for target in "${selected[@]}"; do
  [ "${#running[@]}" -lt "$jobs" ] || reap
  fuzzTarget "$target" &
  running[$!]="$target"
done
while [ "${#running[@]}" -gt 0 ]; do reap; done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: no findings in ${selected[*]}"
