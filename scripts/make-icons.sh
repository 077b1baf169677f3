#!/bin/bash
# Draws the application icon's PNG sizes (resources/desktop/anivor-N.png) with ImageMagick,
# the same picture as resources/desktop/anivor.svg.
set -euo pipefail
cd "$(dirname "$0")/../resources/desktop"
holes=""
for x in 20 52 84 116 148 180 212; do
    holes="$holes roundrectangle $x,52 $((x + 16)),64 2,2 roundrectangle $x,192 $((x + 16)),204 2,2"
done
convert -size 256x256 xc:none \
    -fill '#2b3a55' -draw "roundrectangle 8,40 248,216 20,20" \
    -fill '#f4f1e8' -draw "$holes" \
    -fill '#f6c445' -draw "roundrectangle 22,76 86,180 6,6" \
    -fill '#ef6f51' -draw "roundrectangle 96,76 160,180 6,6" \
    -fill '#4fb3a9' -draw "roundrectangle 170,76 234,180 6,6" \
    -fill '#2b3a55' -draw "circle 54,128 68,128" -draw "circle 128,116 142,116" -draw "circle 202,104 216,104" \
    -stroke '#f4f1e8' -strokewidth 6 -fill '#2b3a55' -draw "polygon 104,208 104,248 140,228" \
    anivor-256.png
for s in 16 32 48 64 128; do
    convert anivor-256.png -resize ${s}x${s} anivor-$s.png
done
