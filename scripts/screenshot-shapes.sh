#!/usr/bin/env bash
# Starts the smart shapes demo on a virtual display and takes the README's pictures:
#   shapes-demo.png            several shapes, two of them selected by shift+click
#   shapes-controller.png      the controller's popup with the figure icons
#   shapes-controller-gradients.png   ... and with the gradient icons
#   shapes-size-rotate.png     the arrow sized by the mouse and its caption moved and turned
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-shapes.sh
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=docs/screenshots
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
build/bin/anivor-shapes-demo &
PID=$!
trap 'kill $PID 2>/dev/null; rm -rf "$TMP"' EXIT
sleep 3
WIN=$(xdotool search --name "^Smart Shapes$" | head -1)
xdotool windowmove --sync "$WIN" 0 0 2>/dev/null || true
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$WIN")"
# Shapes sit on the desk below the tool bar; positions below are desk positions.
DESK_X=$X
DESK_Y=$((Y + 30))
at() { echo $((DESK_X + $1)) $((DESK_Y + $2)); }
shot() { # name [width height]
    import -window root "$TMP/root.png"
    convert "$TMP/root.png" -crop "${2:-$WIDTH}x${3:-$HEIGHT}+${X}+${Y}" +repage "$OUT/$1"
}
focus() { xdotool windowfocus --sync "$WIN" 2>/dev/null || true; sleep 0.3; }

focus
# Select the circle and the flower: shift+click puts the red mark on each.
xdotool mousemove $(at 90 90) keydown shift click 1 keyup shift; sleep 0.3
xdotool mousemove $(at 115 275) keydown shift click 1 keyup shift; sleep 0.5
shot shapes-demo.png

# The popup on the cube, with the figures, then the gradient directions.
xdotool mousemove $(at 470 110) click 3; sleep 0.8
xdotool mousemove $(at 520 122); sleep 1.2
shot shapes-controller.png 1100 1000
xdotool key Escape; sleep 0.3
xdotool mousemove $(at 520 168); sleep 1.2
shot shapes-controller-gradients.png 900 760
xdotool key Escape; sleep 0.3; xdotool key Escape; sleep 0.3
focus

# Size the arrow by the mouse, move its caption, then turn the caption.
xdotool mousemove $((X + 150)) $((Y + 14)) click 1; sleep 0.3   # Size shape
xdotool mousemove $(at 300 120) mousedown 1; sleep 0.2
xdotool mousemove $(at 310 150); sleep 0.2; xdotool mousemove $(at 320 190); sleep 0.2; xdotool mouseup 1; sleep 0.3
xdotool mousemove $((X + 240)) $((Y + 14)) click 1; sleep 0.3   # Move shape text
xdotool mousemove $(at 240 110) mousedown 1; sleep 0.2
xdotool mousemove $(at 230 120); sleep 0.2; xdotool mousemove $(at 220 125); sleep 0.2; xdotool mouseup 1; sleep 0.3
xdotool mousemove $((X + 360)) $((Y + 14)) click 1; sleep 0.3   # Rotate shape text
xdotool mousemove $(at 300 120) mousedown 1; sleep 0.2
xdotool mousemove $(at 330 100); sleep 0.2; xdotool mousemove $(at 360 80); sleep 0.2; xdotool mouseup 1; sleep 0.5
shot shapes-size-rotate.png
echo "wrote the shapes screenshots to $OUT"
