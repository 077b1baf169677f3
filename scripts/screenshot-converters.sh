#!/usr/bin/env bash
# Starts the program on a virtual display and uses both converter windows as a user
# would: a video is opened and played, a long conversion is aborted half-way, a short
# one runs to the end and is saved as a GIF, and that GIF is written back as an AVI that
# then plays. Pictures go to docs/screenshots/converter-*.png.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/screenshot-converters.sh
# Needs ffmpeg, xdotool and ImageMagick (all in install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=docs/screenshots
WORK=$(mktemp -d)
PID=
trap '[ -n "$PID" ] && kill "$PID" 2>/dev/null; rm -rf "$WORK"' EXIT

# A long video (600 frames of a fractal zoom) to abort, and a short one to finish.
ffmpeg -nostdin -v error -y -f lavfi -i "mandelbrot=size=320x240:rate=15" -frames:v 600 -c:v mjpeg -q:v 4 "$WORK/fractal.avi"
ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=240x160:rate=10" -frames:v 30 -c:v libx264 -preset ultrafast -pix_fmt yuv420p "$WORK/pattern.mp4"

ANIVOR_HOME="$WORK/home" build/bin/anivor &
PID=$!
sleep 3
MAIN=$(xdotool search --name "^Anivor 13$" | head -1)
xdotool windowmove "$MAIN" 400 100
# Without a window manager a closed dialog does not hand the focus back: give it back.
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; }
shot() { # window, file
    import -window root "$WORK/root.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    convert "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/$2"
}
# Clicks at a point of a window.
click() { # window, x, y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}
# Types a path into the open file dialog and confirms it.
answer() {
    sleep 1
    xdotool key ctrl+a; xdotool type --delay 5 "$1"; xdotool key Return
    sleep 1
}
# Tools menu: the first item is highlighted; Up wraps to the last one.
focus "$MAIN"; xdotool key alt+t; sleep 0.5; xdotool key Up Up; sleep 0.5
shot "$MAIN" converter-tools-menu.png
xdotool key Return; sleep 1
AVI2GIF=$(xdotool search --name "^AVI to GIF converter$" | head -1)
xdotool windowmove "$AVI2GIF" 20 100; sleep 0.5
# The buttons sit in the row under the video panel: Open left, Convert/Abort middle, Save right.
ROW=254

click "$AVI2GIF" 48 $ROW; answer "$WORK/fractal.avi"
focus "$AVI2GIF"; sleep 1.5
shot "$AVI2GIF" converter-avi-opened.png
click "$AVI2GIF" 180 $ROW; sleep 2.5
shot "$AVI2GIF" converter-avi-converting.png
click "$AVI2GIF" 180 $ROW; sleep 1 # Abort
shot "$AVI2GIF" converter-avi-aborted.png

click "$AVI2GIF" 48 $ROW; answer "$WORK/pattern.mp4"
focus "$AVI2GIF"
click "$AVI2GIF" 180 $ROW; sleep 6
shot "$AVI2GIF" converter-avi-converted.png
click "$AVI2GIF" 312 $ROW; answer "$WORK/pattern.gif"

focus "$MAIN"; xdotool key alt+t; sleep 0.5; xdotool key Up Return; sleep 1
GIF2AVI=$(xdotool search --name "^GIF to AVI converter$" | head -1)
xdotool windowmove "$GIF2AVI" 400 100; sleep 0.5
click "$GIF2AVI" 48 $ROW; answer "$WORK/pattern.gif"
focus "$GIF2AVI"
click "$GIF2AVI" 312 $ROW; sleep 3
shot "$GIF2AVI" converter-gif-written.png
import -window root "$WORK/root.png"
convert "$WORK/root.png" -crop 741x511+20+100 +repage "$OUT/converter-both-windows.png"
