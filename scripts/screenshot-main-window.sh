#!/usr/bin/env bash
# Starts the program on a virtual display, makes three frames through the keyboard
# (F3, 120, 60, then F3 twice) and saves a picture of the main window.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-main-window.sh [out.png]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots/main-window.png}
HOME_DIR=$(mktemp -d)
. scripts/lib/drive.sh
start_anivor
first_frame 120 60
focus; xdotool key F3; sleep 0.5
focus; xdotool key F3; sleep 0.5
shot "$MAIN" "$OUT"
