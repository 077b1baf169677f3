#!/usr/bin/env bash
# Pictures of the GIF Explorer for the README: a GIF put together by gifsicle (frames
# drawn by ImageMagick) is named on the command line, the explorer is opened from the
# Tools menu and walked with the keyboard: the tree with a frame, a palette grid with the
# colour under the mouse, an application extension dump, the speed window.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-gif-explorer.sh [outdir]
# Needs xdotool, ImageMagick and gifsicle (all in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
CONVERT=convert
[ -x /usr/bin/convert ] && CONVERT=/usr/bin/convert

for i in 1 2 3 4; do
  "$CONVERT" -size 160x100 gradient:"hsb($((i * 80)),80%,90%)"-"hsb($((i * 80 + 120)),90%,40%)" \
    -fill white -stroke black -font DejaVu-Sans-Bold -pointsize 48 -gravity center -annotate +0+0 "$i" \
    -colors 64 "$WORK/f$i.gif"
done
gifsicle --loopcount=0 --comment "Made with gifsicle for the Anivor 13 README" \
  --app-extension "ANIVOR131.0" "Frames drawn by ImageMagick, put together by gifsicle." \
  -d 40 "$WORK/f1.gif" "$WORK/f2.gif" --disposal background "$WORK/f3.gif" "$WORK/f4.gif" -o "$WORK/gifsicle.gif"

ANIVOR_HOME="$WORK" build/bin/anivor "$WORK/gifsicle.gif" &
PID=$!
sleep 3
MAIN=$(xdotool search --name "^Anivor 13$" | head -1)
xdotool windowfocus --sync "$MAIN"; sleep 0.3
xdotool key alt+t; sleep 0.5; xdotool key g; sleep 1
EXPLORER=$(xdotool search --name "^GIF Explorer" | head -1)
xdotool windowsize --sync "$EXPLORER" 800 470; sleep 0.5
xdotool windowfocus --sync "$EXPLORER"; sleep 0.3
shot() {
  sleep 0.8
  import -window root "$WORK/root.png"
  eval "$(xdotool getwindowgeometry --shell "$EXPLORER")"
  "$CONVERT" "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/$1"
}
# Root, Header, Global Palette, Image 0 (opened), its loop, comment and application
# extension nodes, its graphic control, Image 1.
xdotool key Home; sleep 0.5
xdotool key Down Down; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$EXPLORER")"
xdotool mousemove $((X + 470)) $((Y + 300)); sleep 0.3
shot gif-explorer-palette.png
xdotool key Down Right; sleep 0.3
xdotool key Down Down; sleep 0.5
shot gif-explorer-app-extension.png
xdotool key Down Down Down; sleep 0.3
xdotool key Right; sleep 0.3
xdotool mousemove $((X + 450)) $((Y + 320)); sleep 0.3
shot gif-explorer-tree.png
xdotool key Home; sleep 0.3
xdotool key alt+a; sleep 0.4; xdotool key s; sleep 0.4; xdotool key Up Return; sleep 1
# Type a speed into the speed window.
SPEED=$(xdotool search --name "^Animation Speed$" | head -1)
xdotool windowfocus --sync "$SPEED"; sleep 0.3
xdotool key ctrl+a; xdotool type 250; sleep 1
import -window root "$WORK/root.png"
"$CONVERT" "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/gif-explorer-speed.png"
kill "$PID"
