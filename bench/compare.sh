#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads one drawing with our reader (dxf_read_bench, best of N), dxflib and ezdxf, and prints
# the time, MB/s, attributes/s and peak RSS of each side by side.
# Usage: bench/compare.sh FILE.dxf [REPEAT]      (REPEAT for our reader, default 5)
# Environment: BUILD (default build-bench), the build folder holding bench/dxf_read_bench and
# bench/dxflib_count; PYTHON (default /usr/bin/python3), a Python that has ezdxf.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
file="${1:?usage: compare.sh FILE.dxf [REPEAT]}"
repeat="${2:-5}"
build="${BUILD:-$here/../build-bench}"
python="${PYTHON:-/usr/bin/python3}"
timer=/usr/bin/time
[ -x "$timer" ] || { echo "compare.sh: $timer missing (Debian package 'time')" >&2; exit 1; }

bytes=$(stat -c %s "$file")
mb=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }')
binary=no
[ "$(head -c 18 "$file")" = "AutoCAD Binary DXF" ] && binary=yes
cat "$file" >/dev/null  # warm the page cache so every tool reads from memory

log=$(mktemp)
trap 'rm -f "$log" "$log.out"' EXIT

# run NAME COMMAND...: prints one row; the tool's own output gives seconds and attributes.
run() {
    local name="$1"; shift
    if ! "$timer" -v -o "$log" "$@" >"$log.out" 2>&1; then
        printf '%-9s %s\n' "$name" "failed: $(tail -1 "$log.out")"
        return
    fi
    local rss seconds attributes
    rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$log")
    case "$name" in
        quillon) seconds=$(sed -n 's/.*best of [0-9]*: \([0-9.]*\) s.*/\1/p' "$log.out" | head -1)
                 attributes=$(sed -n 's/.* \([0-9]*\) attributes;.*/\1/p' "$log.out" | head -1) ;;
        *)       seconds=$(sed -n 's/.*attributes, \([0-9.]*\) s$/\1/p' "$log.out")
                 attributes=$(sed -n 's/.* \([0-9]*\) attributes,.*/\1/p' "$log.out") ;;
    esac
    awk -v n="$name" -v s="$seconds" -v a="$attributes" -v r="$rss" -v bytes="$bytes" \
        -v line="$(head -1 "$log.out")" 'BEGIN {
        printf "%-9s %10.6f %9.1f %12.0f %10s   %s\n", n, s, bytes / 1e6 / s, a / s, r, line }'
}

echo "$(basename "$file"): $mb MB, $([ $binary = yes ] && echo binary || echo ASCII) DXF"
printf '%-9s %10s %9s %12s %10s   %s\n' tool seconds MB/s attributes/s "peak MB" output
run quillon "$build/bench/dxf_read_bench" --repeat "$repeat" "$file"
if [ $binary = yes ]; then
    printf '%-9s %s\n' dxflib "n/a: reads ASCII DXF only"
elif [ -x "$build/bench/dxflib_count" ]; then
    run dxflib "$build/bench/dxflib_count" "$file"
else
    printf '%-9s %s\n' dxflib "not built (install libdxflib-dev and reconfigure)"
fi
run ezdxf "$python" "$here/peers/ezdxf_count.py" "$file"
