#!/usr/bin/env bash
# Quality, size and speed of `anivor-cli make` next to ImageMagick and FFmpeg, on 100
# true-colour 320 x 240 frames of a plasma picture, rolled 3 pixels further and
# brightened half a step more in each frame.
#
#   bench/plasma_compare.sh [BUILD_DIR] [WORK_DIR]
#
# BUILD_DIR defaults to build, WORK_DIR to a folder under /tmp (the frames are made once
# and kept there). RUNS (default 5) sets how often hyperfine runs each command.
# Quality is the mean over the frames of FFmpeg's psnr filter (average of the three
# channels), comparing every decoded GIF frame with its source frame.
set -euo pipefail

BUILD=${1:-build}
WORK=${2:-/tmp/anivor-plasma}
RUNS=${RUNS:-5}
CLI=$(realpath "$BUILD/bin/anivor-cli")
for tool in ffmpeg convert hyperfine; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
mkdir -p "$WORK/frames"
cd "$WORK"

# The frames: three channels of sums of sines around 128, amplitude 2 x 32; frame n
# (0..99) reads the picture 3n pixels further to the right (wrapping) and adds n / 2.
if [ "$(ls frames | wc -l)" -ne 100 ]; then
  rm -f frames/*.png
  X='mod(X+3*N\,320)'
  A=32
  ffmpeg -v error -f lavfi -i "color=c=black:s=320x240:r=10:d=10,format=rgb24" -vf \
    "geq=r='clip(128+$A*sin($X/17)+$A*sin(hypot($X-160\,Y-120)/11)+N/2\,0\,255)':g='clip(128+$A*sin(Y/13+1)+$A*sin(($X+Y)/23)+N/2\,0\,255)':b='clip(128+$A*sin(hypot($X-60\,Y-200)/9)+$A*sin(($X-Y)/29+2)+N/2\,0\,255)'" \
    -frames:v 100 frames/%03d.png
fi

# The four commands, each writing one GIF with delay 10 and endless looping.
declare -A CMD=(
  [anivor]="$CLI make -o anivor.gif frames/*.png"
  [anivor-frame-palettes]="$CLI make --frame-palettes -o anivor-fp.gif frames/*.png"
  [imagemagick]="convert -delay 10 -loop 0 frames/*.png -dither FloydSteinberg -colors 256 imagemagick.gif"
  [ffmpeg]="ffmpeg -v error -y -framerate 10 -i frames/%03d.png -vf 'split[a][b];[a]palettegen[p];[b][p]paletteuse' ffmpeg.gif"
)
declare -A OUT=([anivor]=anivor.gif [anivor-frame-palettes]=anivor-fp.gif [imagemagick]=imagemagick.gif [ffmpeg]=ffmpeg.gif)
ORDER=(anivor anivor-frame-palettes imagemagick ffmpeg)

psnr() {
  rm -f psnr.log
  ffmpeg -v error -i "$1" -framerate 10 -i frames/%03d.png -lavfi \
    "[0:v]format=rgb24,settb=1/10,setpts=N[a];[1:v]format=rgb24,settb=1/10,setpts=N[b];[a][b]psnr=stats_file=psnr.log" \
    -f null -
  awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, a, ":"); s += a[2]; n++ } }
       END { if (n != 100) { print "frames compared: " n > "/dev/stderr"; exit 1 } printf "%.2f", s / n }' psnr.log
}

echo "Quality and size"
printf '| %-22s | %9s | %12s |\n' tool "PSNR (dB)" "size (bytes)"
printf '|%s|%s|%s|\n' ------------------------ ----------- --------------
for k in "${ORDER[@]}"; do
  eval "${CMD[$k]}" >/dev/null
  printf '| %-22s | %9s | %12s |\n' "$k" "$(psnr "${OUT[$k]}")" "$(stat -c %s "${OUT[$k]}")"
done

echo
echo "Speed ($(nproc) cores, $RUNS runs each)"
args=()
for k in "${ORDER[@]}"; do
  args+=(-n "$k" "${CMD[$k]}")
done
hyperfine --warmup 1 --runs "$RUNS" --export-json times.json "${args[@]}" >/dev/null
python3 - <<'EOF'
import json
r = {x["command"]: x for x in json.load(open("times.json"))["results"]}
a = r["anivor"]["mean"]
print("| %-22s | %10s | %10s | %14s |" % ("command", "mean (s)", "min (s)", "anivor is"))
print("|------------------------|------------|------------|----------------|")
for k in ["anivor", "anivor-frame-palettes", "imagemagick", "ffmpeg"]:
    m = r[k]["mean"]
    print("| %-22s | %10.3f | %10.3f | %14s |" % (k, m, r[k]["min"], "-" if k.startswith("anivor") else "%.1fx faster" % (m / a)))
EOF
