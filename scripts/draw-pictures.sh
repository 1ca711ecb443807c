#!/usr/bin/env bash
# Draws the program's pictures anew into ui/resources/png/ (they are committed; run this after
# changing scripts/pictures/draw_pictures.cpp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target tamarin-draw-pictures
"$build/scripts/pictures/tamarin-draw-pictures" "$root/ui/resources/png"
