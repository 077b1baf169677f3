#!/usr/bin/env bash
# Pictures of what a new user meets first, driven as a user would on a virtual display:
# the main window after a first 240 x 160 frame (the strip shows it whole with its
# pointer), the text gadget's menu in the frame editor (its colour, the style check
# marks), the actor path shown as numbered marks with its count in the status bar, and
# the GIF Explorer's warning on a file cut inside its picture data.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-polish.sh [out-folder]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
HOME_DIR=$(mktemp -d)
mkdir -p "$HOME_DIR/actors"
convert -size 24x24 xc:none -fill '#2060e0' -draw "circle 12,12 12,2" "$HOME_DIR/actors/ball.png"
# A GIF of two frames, cut inside the second frame's picture data.
convert -size 60x40 xc:'#ffcc00' -size 60x40 xc:'#3399ff' -loop 0 "$HOME_DIR/whole.gif"
head -c $(($(stat -c %s "$HOME_DIR/whole.gif") - 12)) "$HOME_DIR/whole.gif" >"$HOME_DIR/cut.gif"
. scripts/lib/drive.sh
start_anivor
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
MX=$X MY=$Y

first_frame 240 160
sleep 0.5
shot "$MAIN" "$OUT/polish-first-frame.png"

focus "$MAIN"; xdotool key F4; sleep 1.5
DRAW=$(xdotool search --name "^Anivor Draw$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$DRAW")"
EX=$X EY=$Y
PIC_X=1 PIC_Y=43
# The text gadget ("Anivor" at 92, 91) and its menu.
click 195 30
rclick $((PIC_X + 100)) $((PIC_Y + 98))
shot "$DRAW" "$OUT/polish-text-gadget-menu.png" "420x330+$EX+$EY"
xdotool key Escape; sleep 0.3
click 195 30
# L1: an actor appears on the picture; two places recorded with Ctrl, the path shows.
click 533 318; sleep 0.7
xdotool type ball.png; xdotool key Return; sleep 1
focus "$DRAW"
drag $((PIC_X + 48 + 12)) $((PIC_Y + 68 + 12)) $((PIC_X + 40)) $((PIC_Y + 40)) ctrl
drag $((PIC_X + 40)) $((PIC_Y + 40)) $((PIC_X + 120)) $((PIC_Y + 110)) ctrl
drag $((PIC_X + 120)) $((PIC_Y + 110)) $((PIC_X + 200)) $((PIC_Y + 50)) ctrl
drag $((PIC_X + 200)) $((PIC_Y + 50)) $((PIC_X + 150)) $((PIC_Y + 30))
at 300 250
shot "$DRAW" "$OUT/polish-actor-path.png"
xdotool key Escape; sleep 0.8
xdotool key alt+d; sleep 0.5

# Tools > GIF Explorer, File > Open file (F3): the warning names where it happened.
focus "$MAIN"; xdotool key alt+t; sleep 0.4; xdotool key g; sleep 1.5
GE=$(xdotool search --name "^GIF Explorer" | head -1)
focus "$GE"; xdotool key F3; sleep 1
xdotool type "$HOME_DIR/cut.gif"; xdotool key Return; sleep 1.5
WARN=$(xdotool search --name "^Warning$" | tail -1)
shot "$WARN" "$OUT/polish-gif-warning.png"
xdotool key alt+i; sleep 0.5
