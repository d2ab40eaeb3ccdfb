#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders every window headless at scale 1 and 1.5 in DejaVu Sans into docs/screenshots/, from
# a built tree: tools/screenshots.sh [BUILD_DIR]   (default build/dev)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/dev"}
out="$root/docs/screenshots"
mkdir -p "$out"
# A short, fixed place, as the paths show in the pictures.
work=/tmp/quillon-screenshots
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
# The examples in a folder of their own, as a user keeps drawings.
mkdir "$work/Drawings"
cp "$root"/examples/*.dxf "$root"/examples/*.txt "$work/Drawings/"
export QT_QPA_PLATFORM=offscreen
for scale in 1 1.5; do
    # The size a 1366x768 laptop at scale 1, or a 1920x1080 screen at scale 1.5, has room for.
    if [ "$scale" = 1 ]; then suffix=100 size=1366x700; else suffix=150 size=1280x660; fi
    export QT_SCALE_FACTOR="$scale"
    "$build/src/quillon-screenshot" --font "DejaVu Sans,10" --size "$size" \
        "$out/main-window-$suffix.png" "$work/Drawings"
    for tests in search update registerwindow filespecs about help; do
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
