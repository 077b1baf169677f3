#!/usr/bin/env bash
# Quality, size, time and peak memory of anivor-cli's palettes next to ImageMagick,
# FFmpeg and pngquant, on the same frames, side by side in one run.
#
#   bench/quality_compare.sh [BUILD_DIR] [WORK_DIR]
#
# Frame sets (made once and kept in WORK_DIR, default /tmp/anivor-quality): 100 frames of
# 320 x 240 of FFmpeg's testsrc2 and mandelbrot sources, the plasma frames of
# plasma_compare.sh, 100 frames of 1920 x 1080 of testsrc2, and 10 s of 640 x 360 testsrc2
# as an MPEG-4 AVI and an H.264 MP4 for avi2gif.
#
# PSNR is the mean over the frames of FFmpeg's psnr filter (average of the three channels),
# every decoded GIF frame against its source frame (for the videos: the decoded video
# frame). Sizes are bytes of the GIF. Times come from one hyperfine run per frame set with
# every command of the set (RUNS runs each, default 3); "x ffmpeg" is the FFmpeg
# one-palette time over the command's (for the videos FFmpeg's two passes). On a machine
# busy with other work wall times swing with the load, so the processor time (user +
# system, all threads) is shown beside them. Peak memory is the
# maximum resident size (/usr/bin/time) of one more run. ImageMagick and the pngquant
# pipeline are not timed (ImageMagick takes minutes).
#
# The set "long" is about memory against the animation's length: 1,000 frames of 640 x 480
# and 300 frames of 1920 x 1080 of testsrc2 through the default make, beside FFmpeg's two
# passes (palettegen, then paletteuse); one run each. The set "explode" times gif-frames
# against gifsicle --explode on a GIF of 20,000 frames of 1 x 1.
#
# Environment: RUNS (hyperfine runs), SETS (which sets, default "testsrc2 mandelbrot plasma
# hd video long explode"), BASE_CLI (an older anivor-cli: the default make output of both is
# compared byte for byte).
set -euo pipefail

BUILD=${1:-build}
WORK=${2:-/tmp/anivor-quality}
RUNS=${RUNS:-3}
SETS=${SETS:-testsrc2 mandelbrot plasma hd video long explode}
CLI=$(realpath "$BUILD/bin/anivor-cli")
for tool in ffmpeg convert hyperfine pngquant gifsicle python3; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install $tool)" >&2; exit 1; }
done
mkdir -p "$WORK"
cd "$WORK"

frames() { # NAME SOURCE SIZE
  if [ "$(ls "$1" 2>/dev/null | wc -l)" -ne 100 ]; then
    mkdir -p "$1"; rm -f "$1"/*.png
    ffmpeg -v error -f lavfi -i "$2=s=$3:r=10" -frames:v 100 -pix_fmt rgb24 "$1/%03d.png"
  fi
}
frames testsrc2 testsrc2 320x240
frames mandelbrot mandelbrot 320x240
frames hd testsrc2 1920x1080
case " $SETS " in *" long "*)
  if [ "$(ls long640 2>/dev/null | wc -l)" -ne 1000 ]; then
    mkdir -p long640; rm -f long640/*.png
    ffmpeg -v error -f lavfi -i testsrc2=s=640x480:r=25 -frames:v 1000 -pix_fmt rgb24 long640/%04d.png
  fi
  if [ "$(ls long1080 2>/dev/null | wc -l)" -ne 300 ]; then
    mkdir -p long1080; rm -f long1080/*.png
    ffmpeg -v error -f lavfi -i testsrc2=s=1920x1080:r=10 -frames:v 300 -pix_fmt rgb24 long1080/%04d.png
  fi ;;
esac
if [ "$(ls plasma 2>/dev/null | wc -l)" -ne 100 ]; then
  mkdir -p plasma; rm -f plasma/*.png
  X='mod(X+3*N\,320)'
  A=32
  ffmpeg -v error -f lavfi -i "color=c=black:s=320x240:r=10:d=10,format=rgb24" -vf \
    "geq=r='clip(128+$A*sin($X/17)+$A*sin(hypot($X-160\,Y-120)/11)+N/2\,0\,255)':g='clip(128+$A*sin(Y/13+1)+$A*sin(($X+Y)/23)+N/2\,0\,255)':b='clip(128+$A*sin(hypot($X-60\,Y-200)/9)+$A*sin(($X-Y)/29+2)+N/2\,0\,255)'" \
    -frames:v 100 plasma/%03d.png
fi
for v in avi mp4; do
  if [ ! -f "video.$v" ]; then
    codec="-c:v mpeg4 -q:v 5"; [ "$v" = mp4 ] && codec="-c:v libx264 -pix_fmt yuv420p"
    ffmpeg -v error -f lavfi -i testsrc2=s=640x360:r=25 -t 10 $codec "video.$v"
  fi
  if [ "$(ls "ref-$v" 2>/dev/null | wc -l)" -ne 250 ]; then
    mkdir -p "ref-$v"; ffmpeg -v error -i "video.$v" -pix_fmt rgb24 "ref-$v/%03d.png"
  fi
done

# pngquant on every frame, the frames turned into GIFs as they are (one palette each) and
# assembled by gifsicle.
cat > pngquant-gif.sh <<'EOF'
#!/usr/bin/env bash
set -e
q=$(mktemp -d)
for f in "$1"/*.png; do pngquant 256 --force --output "$q/$(basename "$f")" "$f"; done
mogrify -format gif "$q"/*.png
gifsicle --delay 10 --loopcount=forever "$q"/*.gif > "$2"
rm -rf "$q"
EOF
chmod +x pngquant-gif.sh

psnr() { # GIF REFERENCE_DIR RATE
  rm -f psnr.log
  ffmpeg -v error -i "$1" -framerate "$3" -pattern_type glob -i "$2/*.png" -lavfi \
    "[0:v]format=rgb24,settb=1/$3,setpts=N[a];[1:v]format=rgb24,settb=1/$3,setpts=N[b];[a][b]psnr=stats_file=psnr.log" \
    -f null -
  awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { split($i, a, ":"); s += a[2]; n++ } }
       END { printf "%.2f", s / n }' psnr.log
}

FF1="split[a][b];[a]palettegen[p];[b][p]paletteuse"
FFN="split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1"

# One table for a set: NAME REFERENCE RATE then name=command pairs (the command writes
# NAME.gif in a folder out/SET).
measure() {
  local set=$1 ref=$2 rate=$3; shift 3
  mkdir -p "out/$set"
  local names=() args=()
  for pair in "$@"; do
    local name=${pair%%=*} cmd=${pair#*=}
    names+=("$name")
    # ImageMagick (minutes a run) and the pngquant pipeline are measured for quality,
    # size and memory only.
    case $name in imagemagick | pngquant+gifsicle) ;; *) args+=(-n "$name" "$cmd") ;; esac
    /usr/bin/time -f "%M" -o "out/$set/$name.mem" bash -c "$cmd" >/dev/null 2>&1
  done
  hyperfine --runs "$RUNS" --export-json "out/$set/times.json" "${args[@]}" >/dev/null
  echo
  echo "### $set"
  echo
  printf '| %-30s | %9s | %12s | %9s | %9s | %8s | %9s |\n' command "PSNR (dB)" "size (bytes)" "time (s)" "x ffmpeg" "CPU (s)" "peak (MB)"
  printf '|%s|%s|%s|%s|%s|%s|%s|\n' -------------------------------- ----------- -------------- ----------- ----------- ---------- -----------
  for name in "${names[@]}"; do
    local gif="out/$set/$name.gif"
    local t
    t=$(python3 -c "
import json, sys
r = {x['command']: x for x in json.load(open('out/$set/times.json'))['results']}
n = '$name'
if n not in r: print('- - -'); sys.exit()
f = r.get('ffmpeg-one-palette') or r.get('ffmpeg-palettegen-paletteuse')
print('%.3f %s %.2f' % (r[n]['mean'], ('%.2f' % (f['mean'] / r[n]['mean'])) if f else '-', r[n]['user'] + r[n]['system']))")
    printf '| %-30s | %9s | %12s | %9s | %9s | %8s | %9s |\n' "$name" "$(psnr "$gif" "$ref" "$rate")" "$(stat -c %s "$gif")" \
      ${t} "$(( $(cat "out/$set/$name.mem") / 1024 ))"
  done
}

echo "anivor-cli: $CLI; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg); $RUNS runs each"
for set in $SETS; do
  o="out/$set"
  case $set in
  testsrc2 | mandelbrot | plasma)
    measure "$set" "$set" 10 \
      "anivor-make=$CLI make -o $o/anivor-make.gif $set/*.png" \
      "anivor-frame-palettes=$CLI make --frame-palettes -o $o/anivor-frame-palettes.gif $set/*.png" \
      "anivor-best=$CLI make --palette best -o $o/anivor-best.gif $set/*.png" \
      "anivor-best-frame-palettes=$CLI make --palette best --frame-palettes -o $o/anivor-best-frame-palettes.gif $set/*.png" \
      "imagemagick=convert -delay 10 -loop 0 $set/*.png -dither FloydSteinberg -colors 256 $o/imagemagick.gif" \
      "ffmpeg-one-palette=ffmpeg -v error -y -framerate 10 -i $set/%03d.png -vf '$FF1' $o/ffmpeg-one-palette.gif" \
      "ffmpeg-palette-per-frame=ffmpeg -v error -y -framerate 10 -i $set/%03d.png -vf '$FFN' $o/ffmpeg-palette-per-frame.gif" \
      "ffmpeg-default=ffmpeg -v error -y -framerate 10 -i $set/%03d.png $o/ffmpeg-default.gif" \
      "pngquant+gifsicle=./pngquant-gif.sh $set $o/pngquant+gifsicle.gif"
    ;;
  hd)
    measure hd hd 10 \
      "anivor-make=$CLI make -o $o/anivor-make.gif hd/*.png" \
      "anivor-best-frame-palettes=$CLI make --palette best --frame-palettes -o $o/anivor-best-frame-palettes.gif hd/*.png" \
      "ffmpeg-one-palette=ffmpeg -v error -y -framerate 10 -i hd/%03d.png -vf '$FF1' $o/ffmpeg-one-palette.gif"
    ;;
  video)
    for v in avi mp4; do
      measure "video.$v" "ref-$v" 25 \
        "anivor-avi2gif=$CLI avi2gif video.$v -o out/video.$v/anivor-avi2gif.gif" \
        "anivor-avi2gif-best=$CLI avi2gif --palette best video.$v -o out/video.$v/anivor-avi2gif-best.gif" \
        "ffmpeg-palettegen-paletteuse=sh -c 'ffmpeg -v error -y -i video.$v -vf palettegen out/video.$v/palette.png && ffmpeg -v error -y -i video.$v -i out/video.$v/palette.png -lavfi paletteuse out/video.$v/ffmpeg-palettegen-paletteuse.gif'"
    done
    ;;
  long)
    for l in long640 long1080; do
      o="out/$l"
      (RUNS=1 measure "$l" "$l" 10 \
        "anivor-make=$CLI make -o $o/anivor-make.gif $l/*.png" \
        "ffmpeg-two-pass=sh -c 'ffmpeg -v error -y -framerate 10 -i $l/%04d.png -vf palettegen $o/palette.png && ffmpeg -v error -y -framerate 10 -i $l/%04d.png -i $o/palette.png -lavfi paletteuse $o/ffmpeg-two-pass.gif'")
    done
    ;;
  explode)
    # 20,000 frames of one pixel each, written by gifsicle from two one-pixel frames.
    if [ ! -f explode.gif ]; then
      convert -size 1x1 xc:red red.gif && convert -size 1x1 xc:blue blue.gif
      gifsicle --loopcount=forever $(for _ in $(seq 10000); do echo red.gif blue.gif; done) > explode.gif
    fi
    echo
    echo "### gif-frames of 20,000 frames of 1 x 1"
    echo
    hyperfine --runs "$RUNS" -N --prepare "rm -rf out/explode-a out/explode-g" \
      -n anivor-gif-frames "$CLI gif-frames explode.gif out/explode-a" \
      -n anivor-gif-frames-raw "$CLI gif-frames explode.gif out/explode-a --raw" \
      -n gifsicle-explode "sh -c 'mkdir -p out/explode-g && cd out/explode-g && gifsicle --explode ../../explode.gif'" \
      2>&1 | grep -E "Time|±|faster|Benchmark"
    ;;
  esac
done

if [ -n "${BASE_CLI:-}" ]; then
  echo
  echo "Default make against $BASE_CLI:"
  for set in $SETS; do
    case $set in video | long | explode) continue ;; esac
    for mode in "" "--frame-palettes"; do
      "$BASE_CLI" make $mode -o base.gif "$set"/*.png >/dev/null
      "$CLI" make $mode -o new.gif "$set"/*.png >/dev/null
      if cmp -s base.gif new.gif; then r="identical bytes"; else r="DIFFERENT"; fi
      echo "- $set make $mode: $r ($(md5sum < new.gif | cut -c1-12))"
    done
  done
fi
