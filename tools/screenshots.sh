#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders every window headless at scale 1 and 1.5 in DejaVu Sans into docs/screenshots/, from
# a built tree: tools/screenshots.sh [BUILD_DIR]   (default build/dev)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/dev"}
out="$root/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
for scale in 1 1.5; do
    suffix=$(echo "$scale" | sed 's/^1$/100/; s/^1\.5$/150/')
    export QT_SCALE_FACTOR="$scale"
    "$build/src/quillon-screenshot" --font "DejaVu Sans,10" --size 1280x860 \
        "$out/main-window-$suffix.png" "$root/examples"
    for tests in search update filespecs about help; do
        rm -f "$work"/*.png
        QUILLON_SCREENSHOT_DIR="$work" "$build/tests/test_$tests" --gtest_filter='*Screenshot*' \
            >/dev/null
        for shot in "$work"/*.png; do
            name=$(basename "$shot" .png | tr _ -)
            mv "$shot" "$out/$name-$suffix.png"
        done
    done
done
ls "$out"
