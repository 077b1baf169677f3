#!/usr/bin/env bash
# Starts the program on a virtual display, makes three frames through the keyboard
# (F3, 120, 60, then F3 twice) and saves a picture of the main window.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-main-window.sh [out.png]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots/main-window.png}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
ANIVOR_HOME="$HOME_DIR" build/bin/anivor &
PID=$!
sleep 3
WIN=$(xdotool search --name "^Anivor 13$" | head -1)
# Without a window manager a closed dialog does not hand the focus back: give it back.
focus() { xdotool windowfocus --sync "$WIN" 2>/dev/null || true; sleep 0.3; }
focus
xdotool key F3; sleep 1
xdotool key ctrl+a; xdotool type 120; xdotool key Return; sleep 0.7
xdotool key ctrl+a; xdotool type 60; xdotool key Return; sleep 0.7
focus; xdotool key F3; sleep 0.5
focus; xdotool key F3; sleep 0.5
import -window root "$HOME_DIR/root.png"
eval "$(xdotool getwindowgeometry --shell "$WIN")"
convert "$HOME_DIR/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT"
kill "$PID"
