#!/usr/bin/env bash
# Starts the program on a virtual display with a 16 MB memory limit in its settings file,
# makes two 1200 x 900 frames (F3), runs the Transition wizard from the first and saves a
# picture of the refusal it shows.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-memory-limit.sh [out.png]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots/memory-limit-refusal.png}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
printf '[Memory]\nLimit=16M\n' > "$HOME_DIR/anivor.ini"
ANIVOR_HOME="$HOME_DIR" build/bin/anivor &
PID=$!
sleep 3
WIN=$(xdotool search --name "^Anivor 13$" | head -1)
focus() { xdotool windowfocus --sync "$WIN" 2>/dev/null || true; sleep 0.3; }
focus
xdotool key F3; sleep 1
xdotool key ctrl+a; xdotool type 1200; xdotool key Return; sleep 0.7
xdotool key ctrl+a; xdotool type 900; xdotool key Return; sleep 0.7
focus; xdotool key F3; sleep 0.7
focus
eval "$(xdotool getwindowgeometry --shell "$WIN")"
# The first frame in the list, then Wizards > Transition on the toolbar.
xdotool mousemove $((X + 98)) $((Y + 212)) click 1; sleep 0.5
xdotool mousemove $((X + 345)) $((Y + 35)) click 1; sleep 0.8
xdotool mousemove $((X + 387)) $((Y + 59)) click 1; sleep 1.5
import -window root "$HOME_DIR/root.png"
convert "$HOME_DIR/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT"
kill "$PID"
