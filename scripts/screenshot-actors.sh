#!/usr/bin/env bash
# Drives actors and the actor wizards on a virtual display, as a user would: two new
# 240 x 160 frames, the first filled in the editor, an actor loaded from a PNG with alpha
# through L1, dragged to three places with Ctrl held at each release, Update Frame; then
# Wizards > Actor > Path, Insert, Wizards > Actor > Spiral Left, Insert, Create, Save GIF
# As. Saves pictures and checks that the saved GIF has the actor where the path put it.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-actors.sh [out-folder]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
HOME_DIR=$(mktemp -d)
mkdir -p "$HOME_DIR/actors"
# A 32 x 32 ball with soft edges on a transparent ground.
convert -size 32x32 xc:none -fill '#e03020' -draw "circle 16,16 16,3" -fill '#ffd020' -draw "circle 12,12 12,8" \
    "$HOME_DIR/actors/ball.png"
. scripts/lib/drive.sh
start_anivor
# Wizards > Actor > the item `down` places below Circle Left.
actorWizard() {
    focus "$MAIN"
    EX=$MX EY=$MY
    click 345 35
    xdotool key Up; sleep 0.2; xdotool key Right; sleep 0.3
    for ((k = 0; k < $1; k++)); do xdotool key Down; sleep 0.1; done
    [ -n "${2:-}" ] && shot "$MAIN" "$2" "720x770+$((MX))+$((MY - 30))"
    xdotool key Return; sleep 3
}
PATH_ITEM=6 SPIRAL_LEFT_ITEM=9

eval "$(xdotool getwindowgeometry --shell "$MAIN")"
MX=$X MY=$Y
first_frame 240 160
focus "$MAIN"; xdotool key F3; sleep 0.7
EX=$MX EY=$MY
click 51 92           # Frame1 in the strip
xdotool key F4; sleep 1.5
DRAW=$(xdotool search --name "^Anivor Draw$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$DRAW")"
EX=$X EY=$Y
PIC_X=1 PIC_Y=43      # the picture's top-left corner in the window
# A cyan ground: brush colour from the palette, flood fill.
click 540 195; click 555 100; click 12 30; click 57 184; click 100 100
# L1: the load dialog opens in AppDir's "actors" folder.
click 533 318; sleep 0.7
xdotool type ball.png; xdotool key Return; sleep 1
focus "$DRAW"
# The actor appears on the picture at (44, 64); three Ctrl-releases record (20, 30),
# (100, 90), (190, 40).
drag $((44 + 16 + PIC_X)) $((64 + 16 + PIC_Y)) $((PIC_X + 36)) $((PIC_Y + 46)) ctrl
drag $((PIC_X + 36)) $((PIC_Y + 46)) $((PIC_X + 116)) $((PIC_Y + 106)) ctrl
drag $((PIC_X + 116)) $((PIC_Y + 106)) $((PIC_X + 206)) $((PIC_Y + 56)) ctrl
at 533 318; sleep 1.5  # the hint of L1 shows
shot "$DRAW" "$OUT/actors-editor.png"
click 505 30          # Update Frame
sleep 0.7

actorWizard $PATH_ITEM "$OUT/actors-wizard-menu.png"
EX=$MX EY=$MY; click 403 35; sleep 1   # Insert Wizard Frames
# Frame 12 (the white one) follows; run Spiral Left from the last path frame onto it.
actorWizard $SPIRAL_LEFT_ITEM
EX=$MX EY=$MY; click 403 35; sleep 1
shot "$MAIN" "$OUT/actors-frames-inserted.png"

# Animation > Create, then Save GIF As.
focus "$MAIN"; xdotool key alt+a; sleep 0.5; xdotool key c; sleep 3
focus "$MAIN"; xdotool key alt+a; sleep 0.5; xdotool key a; sleep 1.5
xdotool type "$HOME_DIR/actors.gif"; xdotool key Return; sleep 1.5
# Frames 2..4 of the saved GIF show the actor at the three recorded places.
convert "$HOME_DIR/actors.gif" -coalesce "$HOME_DIR/f-%02d.png"
expect() {
    local got
    got=$(convert "$HOME_DIR/f-$1.png" -format "%[pixel:p{$2,$3}]" info:)
    echo "frame $1 at ($2, $3): $got"
    [ "$got" = "$4" ]
}
RED="srgb(224,48,32)" CYAN="srgb(0,255,239)"
expect 01 36 46 "$RED"; expect 01 116 106 "$CYAN"
expect 02 116 106 "$RED"; expect 02 36 46 "$CYAN"
expect 03 206 56 "$RED"
expect 04 36 46 "$CYAN"; expect 04 116 106 "$CYAN"; expect 04 206 56 "$CYAN"
# The saved frames side by side: the three path steps, then five spiral steps.
convert "$HOME_DIR"/f-0{1,2,3}.png "$HOME_DIR"/f-1{2,4,6,8}.png "$HOME_DIR/f-20.png" -bordercolor '#808080' \
    -border 2 +append -resize 50% "$OUT/actors-saved-frames.png"
echo "Saved GIF: the actor is where the path put it"
