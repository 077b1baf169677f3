#!/usr/bin/env bash
# Starts the program on a virtual display with three backdrop presets, makes a 320 x 200
# frame, gives it a QuickBack backdrop (the preset "Circles", then another function for
# the green setting, Use), opens Painter Effects on it (Twist, the bar dragged, Step Up for
# ten frames, Use) and saves pictures of both windows and of the main window afterwards.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-effect-windows.sh [outdir]
# Needs xdotool and ImageMagick (both in install-deps.sh). Without a window manager the
# windows have no frames, so clicks are placed relative to each window's corner.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
printf 'Circles=28,29,0,40,0,90,60\nDiagonals=1,2,3,0,85,170,255\nTartan=9,10,32,0,64,128,48\n' >"$HOME_DIR/PainterQB.txt"
ANIVOR_HOME="$HOME_DIR" build/bin/anivor &
PID=$!
sleep 3
WIN=$(xdotool search --name "^Anivor 13$" | head -1)
focus() { xdotool windowfocus --sync "$WIN" 2>/dev/null || true; sleep 0.3; }
# Picture of window $1 into file $2.
shot() {
  import -window root "$HOME_DIR/root.png"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  convert "$HOME_DIR/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}
# A click at (dx, dy) from the corner of window $1.
at() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
  sleep "${4:-0.4}"
}
# The frame popup of the first frame in the strip, then its item at dy below the click.
popup_item() {
  focus
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  local cx=$((X + 51)) cy=$((Y + 92))
  xdotool mousemove $cx $cy click 3
  sleep 0.8
  xdotool mousemove $((cx + 60)) $((cy + $1)) click 1
  sleep 1.5
}

focus
xdotool key F3; sleep 1
xdotool key ctrl+a; xdotool type 320; xdotool key Return; sleep 0.7
xdotool key ctrl+a; xdotool type 200; xdotool key Return; sleep 0.7

# QuickBack: the preset "Circles", then the green setting takes "Xor".
popup_item 56
QB=$(xdotool search --name "^QuickBack$" | head -1)
at "$QB" 26 299 1 # the preset "Circles"
at "$QB" 100 195  # the green radio button
at "$QB" 18 100   # into the function list, then up to its fourth entry, "Xor"
xdotool key Home Down Down Down
sleep 1
shot "$QB" "$OUT/quickback-preset.png"
at "$QB" 120 423 1 # Use

# Painter Effects: Twist, the bar dragged down, Step Up, Use.
popup_item 77
PE=$(xdotool search --name "^Painter Effects$" | head -1)
at "$PE" 391 168 1 # Twist
eval "$(xdotool getwindowgeometry --shell "$PE")"
# The bar's handle. Under Xvfb the first press on it after the tree click goes astray,
# so it is pressed and released once in place (no change) before the drag.
xdotool mousemove $((X + 528)) $((Y + 37))
sleep 0.3
xdotool click 1
sleep 0.5
xdotool mousedown 1
sleep 0.3
for i in $(seq 1 30); do xdotool mousemove $((X + 528)) $((Y + 37 + i * 4)); sleep 0.05; done
sleep 0.3
xdotool mouseup 1
sleep 1
shot "$PE" "$OUT/painter-effects-twist.png"
at "$PE" 405 397 6 # Step Up: ten frames
at "$PE" 405 371 1 # Use
focus
sleep 0.5
shot "$WIN" "$OUT/painter-effects-step-up.png"
kill "$PID"
