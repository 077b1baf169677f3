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
printf '[Memory]\nLimit=16M\n' > "$HOME_DIR/anivor.ini"
. scripts/lib/drive.sh
start_anivor
first_frame 1200 900
focus; xdotool key F3; sleep 0.7
focus
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
EX=$X EY=$Y
# The first frame in the list, then Wizards > Transition on the toolbar.
click 98 212
click 345 35
click 387 59; sleep 1
shot "$MAIN" "$OUT"
