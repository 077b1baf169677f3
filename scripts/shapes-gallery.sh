#!/usr/bin/env bash
# Draws every smart shape figure and every gradient direction with anivor-cli and lays
# them out as two gallery pictures for the README:
#   docs/screenshots/shapes-figures.png     the 76 figures, blue to white (qgdCircOut)
#   docs/screenshots/shapes-gradients.png   the 26 directions on a rounded rectangle
# Needs a built anivor-cli (BUILD, default build/) and ImageMagick's montage.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
CLI="$BUILD/bin/anivor-cli"
OUT=docs/screenshots
[ -x "$CLI" ] || { echo "build anivor-cli first (cmake --build $BUILD --target anivor-cli)" >&2; exit 1; }
command -v montage >/dev/null || { echo "montage (ImageMagick) is needed" >&2; exit 1; }
mkdir -p "$OUT"
font=$(fc-match -f "%{file}" sans)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Names from the command line itself, so the gallery follows the program.
mapfile -t types < <("$CLI" shape --list | awk '/^Shape types/{s=1;next} /^Gradient/{s=0} s{print $2}')
mapfile -t directions < <("$CLI" shape --list | awk '/^Gradient directions/{s=1;next} s{print $2}')

star="usrStar=0.5,0,0.62,0.38,1,0.38,0.69,0.62,0.81,1,0.5,0.76,0.19,1,0.31,0.62,0,0.38,0.38,0.38"
i=0
for t in "${types[@]}"; do
    "$CLI" shape "$t" -s 96x72 --pen-width 2 --brush-color '#1E50DC' --gradient circout \
        --gradient-color '#FFFFFF' --vector "$star" -o "$tmp/f$(printf %03d $i).png"
    labels+=(-label "$t" "$tmp/f$(printf %03d $i).png")
    i=$((i + 1))
done
montage "${labels[@]}" -font "$font" -tile 8x -geometry +6+6 -pointsize 11 -background white "$OUT/shapes-figures.png"

labels=()
i=0
for d in "${directions[@]}"; do
    "$CLI" shape roundrect -s 96x72 --pen-width 1 --brush-color '#C81E1E' --gradient "$d" \
        --gradient-color '#FFF0A0' -o "$tmp/g$(printf %03d $i).png"
    labels+=(-label "$d" "$tmp/g$(printf %03d $i).png")
    i=$((i + 1))
done
montage "${labels[@]}" -font "$font" -tile 7x -geometry +6+6 -pointsize 11 -background white "$OUT/shapes-gradients.png"
echo "wrote $OUT/shapes-figures.png and $OUT/shapes-gradients.png"
