#!/usr/bin/env bash
# Drives the frame editor with the mouse and keyboard on a virtual display, as a user would:
# a new 240 x 160 frame, F4, colours from the colour panel, a rectangle, an ellipse, a flood
# fill, the text gadget, the gradient text and a gradient smart shape painted, Undo twice,
# Redo once; Resize x2 with the text gadget and the shape shown magnified, a line drawn at
# x2, back to x1; Esc and its question answered Cancel; Update Frame;
# then Animation > Create and Save GIF As. Saves five pictures and checks that the saved
# GIF decodes to exactly the picture the editor showed.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-frame-editor.sh [out-folder]
# Needs xdotool and ImageMagick (both in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
HOME_DIR=$(mktemp -d)
. scripts/lib/drive.sh
start_anivor
# Tool bar and colour panel, relative to the editor window (its designed layout).
tool() { click 12 30; click 57 "$1"; } # the drawing tool drop-down, then the item at y
RECTANGLE=74 LINE=96 ELLIPSE=118 FLOODFILL=184
palette() { click 555 $((54 + $1)); } # a row of the palette's middle column: 0 red ... 64 blue
SWAP_X() { click 540 195; }
TEXT_GADGET() { click 195 30; }
GRADIENT_GADGET() { click 218 30; }
SMART_SHAPE() { click 248 30; }
PAINT_SHAPE() { click 385 30; }
PIC_X=1 PIC_Y=43 # the picture's top-left corner

first_frame 240 160
focus "$MAIN"; xdotool key F4; sleep 1.5
DRAW=$(xdotool search --name "^Anivor Draw$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$DRAW")"
EX=$X EY=$Y

palette 62          # pen: blue
SWAP_X; palette 14  # brush: yellow
tool $RECTANGLE; drag $((PIC_X + 20)) $((PIC_Y + 15)) $((PIC_X + 120)) $((PIC_Y + 90))
palette 30          # brush: green
tool $ELLIPSE; drag $((PIC_X + 100)) $((PIC_Y + 50)) $((PIC_X + 220)) $((PIC_Y + 140))
palette 0           # brush: red
tool $FLOODFILL; click $((PIC_X + 230)) $((PIC_Y + 10))
# The text gadget ("Anivor" at 92, 91), dragged onto the ellipse; its popup's Paint, seven
# items down.
TEXT_GADGET; drag $((PIC_X + 112)) $((PIC_Y + 99)) $((PIC_X + 142)) $((PIC_Y + 119))
rclick $((PIC_X + 142)) $((PIC_Y + 119)); click $((PIC_X + 184)) $((PIC_Y + 263))
# The gradient text, dragged up onto the ellipse, then painted from its popup.
GRADIENT_GADGET; drag $((PIC_X + 85)) $((PIC_Y + 168)) $((PIC_X + 145)) $((PIC_Y + 68))
# The smart shape (65 x 65 at the corner), dragged below the rectangle; its popup's
# Gradient, the third item, turns its gradient on.
SMART_SHAPE; drag $((PIC_X + 30)) $((PIC_Y + 30)) $((PIC_X + 40)) $((PIC_Y + 122))
rclick $((PIC_X + 40)) $((PIC_Y + 122)); click $((PIC_X + 94)) $((PIC_Y + 176))
at 300 300; shot "$DRAW" "$OUT/frame-editor-gadgets.png"
rclick $((PIC_X + 149)) $((PIC_Y + 69)); click $((PIC_X + 191)) $((PIC_Y + 191))
PAINT_SHAPE
TEXT_GADGET; GRADIENT_GADGET; SMART_SHAPE
xdotool key ctrl+z; sleep 0.3
xdotool key ctrl+z; sleep 0.3
xdotool key ctrl+y; sleep 0.3
at 300 300; shot "$DRAW" "$OUT/frame-editor-undo-redo.png"
# Resize x2 from the picture's popup (Pen, Resize > x1, x2, x4), by the keyboard.
zoom() { rclick $((PIC_X + 5)) $((PIC_Y + 5)); xdotool key Down Down Right; for _ in $(seq 2 "$1"); do xdotool key Down; done; xdotool key Return; sleep 0.5; }
zoom 2
# The text gadget and the shape, shown magnified with the picture; a line at x2 from
# picture (125, 6) to (235, 6), above them.
TEXT_GADGET; SMART_SHAPE
tool $LINE; drag $((PIC_X + 250)) $((PIC_Y + 12)) $((PIC_X + 470)) $((PIC_Y + 12))
at 560 300; shot "$DRAW" "$OUT/frame-editor-zoom-x2.png"
TEXT_GADGET; SMART_SHAPE
zoom 1
at 300 300; shot "$DRAW" "$HOME_DIR/after-zoom.png"
convert "$HOME_DIR/after-zoom.png" -crop "240x160+$PIC_X+$PIC_Y" +repage "$HOME_DIR/edited.png"
# Esc with a drawing the frame does not have yet: the question; Cancel keeps editing.
focus "$DRAW"; xdotool key Escape; sleep 1
shot "$DRAW" "$OUT/frame-editor-update-question.png"
xdotool key alt+c; sleep 0.5
focus "$DRAW"
click 505 30        # Update Frame
sleep 0.5
shot "$MAIN" "$OUT/frame-editor-updated-strip.png"

# Animation > Create, then Save GIF As.
focus "$MAIN"; xdotool key alt+a; sleep 0.5; xdotool key c; sleep 2
focus "$MAIN"; xdotool key alt+a; sleep 0.5; xdotool key a; sleep 1.5
xdotool type "$HOME_DIR/drawn.gif"; xdotool key Return; sleep 1.5
convert "$HOME_DIR/drawn.gif[0]" "$HOME_DIR/decoded.png"
DIFF=$(compare -metric AE "$HOME_DIR/edited.png" "$HOME_DIR/decoded.png" null: 2>&1 || true)
echo "Saved GIF against the edited picture: $DIFF pixels differ"
[ "$DIFF" = "0" ]
