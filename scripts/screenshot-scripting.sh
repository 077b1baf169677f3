#!/usr/bin/env bash
# Drives scripting on a virtual display with a private D-Bus session bus, as a user and a
# second program would: a new 320 x 240 frame, F4, F2 opens "Anivor Script", Open loads
# examples/scripts/starburst.js, Run draws it; then gdbus draws a rectangle through the
# D-Bus object and runs a script that writes on it; a runaway script sent over D-Bus is
# stopped with Esc; Update Frame puts the picture into the strip. Also draws each sample
# script with anivor-cli into one contact sheet.
#   Xvfb :116 -screen 0 1280x1024x24 &
#   DISPLAY=:116 dbus-run-session -- scripts/screenshot-scripting.sh [out-folder]
# Needs xdotool, ImageMagick and gdbus (all in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
HOME_DIR=$(mktemp -d)
trap 'kill "$PID" 2>/dev/null || true; rm -rf "$HOME_DIR"' EXIT
mkdir -p "$HOME_DIR/scripts" "$HOME_DIR/xdg"
cp examples/scripts/*.js "$HOME_DIR/scripts/"
ANIVOR_HOME="$HOME_DIR" XDG_DATA_HOME="$HOME_DIR/xdg" build/bin/anivor &
PID=$!
sleep 3
MAIN=$(xdotool search --name "^Anivor 13$" | head -1)
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; }
shot() {
    import -window root "$HOME_DIR/root.png"
    convert "$HOME_DIR/root.png" -crop "$1" +repage "$2"
}
gfx() {
    gdbus call --session --dest org.anivor.Anivor13 --object-path /gfxAnivor \
        --method "org.anivor.Anivor13.gfxAnivor.$1" "${@:2}"
}

focus "$MAIN"
xdotool key F3; sleep 1
xdotool key ctrl+a; xdotool type 320; xdotool key Return; sleep 0.7
xdotool key ctrl+a; xdotool type 240; xdotool key Return; sleep 0.7
focus "$MAIN"; xdotool key F4; sleep 1.5
DRAW=$(xdotool search --name "^Anivor Draw$" | head -1)
focus "$DRAW"; xdotool key F2; sleep 1
SCRIPT=$(xdotool search --name "^Anivor Script$" | head -1)
xdotool windowmove "$SCRIPT" 700 560; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$SCRIPT")"
SX=$X SY=$Y
# Open (the first button), pick the sample, Run (the fifth button).
xdotool mousemove $((SX + 23)) $((SY + 14)) click 1; sleep 1.5
xdotool type "starburst.js"; xdotool key Return; sleep 1
focus "$SCRIPT"
xdotool mousemove $((SX + 129)) $((SY + 14)) click 1; sleep 1.5

# A second program draws through D-Bus while the editor is open.
gfx SetPenColor '<"#000000">'
gfx SetBrushColor '<"#FFFFFF">'
gfx Rectangle '<20>' '<20>' '<150>' '<80>'
gfx RunScript 'gfx.FontName = "Arial"; gfx.FontSize = 16; gfx.FontStyle = "bold"; gfx.BrushClear();
gfx.FontColor = "#C62828"; gfx.Text(32, 38, "via D-Bus"); gfx.TextRotate(250, 225, "RunScript", 30);'
xdotool mousemove 5 5; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$DRAW")"
shot "$((SX + 475 - X + 10))x$((SY + 206 - Y + 10))+$((X - 5))+$((Y - 5))" "$OUT/script-editor.png"

# A runaway script is stopped with Esc; the windows stay usable.
gfx RunScript 'for (;;) {}' > "$HOME_DIR/stopped.txt" &
sleep 1
xdotool key Escape
wait $!
echo "Runaway script: $(cat "$HOME_DIR/stopped.txt")"
grep -q "stopped" "$HOME_DIR/stopped.txt"

# Close the script editor, Update Frame.
focus "$SCRIPT"; xdotool key Escape; sleep 0.5
focus "$DRAW"
eval "$(xdotool getwindowgeometry --shell "$DRAW")"
xdotool mousemove $((X + 505)) $((Y + 30)) click 1; sleep 0.8
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
shot "${WIDTH}x${HEIGHT}+${X}+${Y}" "$OUT/script-updated-strip.png"

# Each sample script on a 320 x 240 white picture, side by side.
convert -size 320x240 xc:white "$HOME_DIR/white.bmp"
sheets=()
for s in starburst banner bezier-flower actor-path effect-chain; do
    build/bin/anivor-cli script "examples/scripts/$s.js" "$HOME_DIR/white.bmp" -o "$HOME_DIR/$s.bmp"
    sheets+=("$HOME_DIR/$s.bmp")
done
montage "${sheets[@]}" -tile 5x1 -geometry 240x180+4+4 "$OUT/script-samples.png"
