#!/usr/bin/env bash
# Starts the program on a virtual display, opens a three-frame plasma GIF, opens the GIF
# Optimizer from the first frame's popup, converts, ticks Palette > Keep Frame Palettes
# and saves a picture of the window with that menu open.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-gif-optimizer.sh [out.png]
# Needs xdotool, ImageMagick and FFmpeg (all in install-deps.sh). Without a window manager
# the windows open where Qt puts them; the clicks are relative to their corners.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots/gif-optimizer-frame-palettes.png}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT

X='mod(X+3*N\,320)'
ffmpeg -v error -f lavfi -i "color=c=black:s=320x240:r=10:d=0.3,format=rgb24" -vf \
  "geq=r='clip(128+32*sin($X/17)+32*sin(hypot($X-160\,Y-120)/11)\,0\,255)':g='clip(128+32*sin(Y/13+1)+32*sin(($X+Y)/23)\,0\,255)':b='clip(128+32*sin(hypot($X-60\,Y-200)/9)+32*sin(($X-Y)/29+2)\,0\,255)'" \
  -frames:v 3 "$HOME_DIR/p%d.png"
build/bin/anivor-cli make -o "$HOME_DIR/plasma.gif" "$HOME_DIR"/p1.png "$HOME_DIR"/p2.png "$HOME_DIR"/p3.png >/dev/null

ANIVOR_HOME="$HOME_DIR" build/bin/anivor &
PID=$!
trap 'kill "$PID" 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
sleep 3
WIN=$(xdotool search --name "^Anivor 13$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$WIN")"
MX=$X MY=$Y
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep "${4:-1}"; }

click $((MX + 60)) $((MY + 35)) 1 2     # toolbar Open: the file dialog
xdotool type "$HOME_DIR/plasma.gif"; xdotool key Return; sleep 2
xdotool windowfocus --sync "$WIN" 2>/dev/null || true
click $((MX + 80)) $((MY + 109)) 3      # the first frame's popup
click $((MX + 134)) $((MY + 119)) 1 2   # Optimize
OPT=$(xdotool search --name "^GIF Optimizer$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$OPT")"
click $((X + 43)) $((Y + 363)) 1 2      # Convert
click $((X + 31)) $((Y + 9))            # Palette
click $((X + 95)) $((Y + 231))          # Keep Frame Palettes
click $((X + 31)) $((Y + 9))            # Palette again, to show the tick
xdotool mousemove $((X + 111)) $((Y + 231)); sleep 0.5
import -window root "$HOME_DIR/root.png"
convert "$HOME_DIR/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT"
