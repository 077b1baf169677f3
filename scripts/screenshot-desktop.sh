#!/bin/bash
# The everyday drive of issue "desktop integration", as a user would do it, under a virtual
# display: `anivor anim.gif` with a 3-frame GIF, F3 adds a frame, Ctrl+Z takes it back,
# Ctrl+Y brings it again, Ctrl+Z once more, then Create and Save: the saved GIF has the 3
# frames. Screenshots go to docs/screenshots/desktop-*.png.
# Usage: scripts/screenshot-desktop.sh [ANIVOR [ANIVOR-CLI]]   (default: build/bin/...)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
ANIVOR="${1:-$ROOT/build/bin/anivor}"
CLI="${2:-$ROOT/build/bin/anivor-cli}"
SHOTS="$ROOT/docs/screenshots"
DISPLAY_NUMBER="${DISPLAY_NUMBER:-119}"
WORK="$(mktemp -d)"
mkdir -p "$SHOTS" "$WORK/home"

Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 >/dev/null 2>&1 &
XVFB=$!
ANIVOR_PID=""
cleanup() {
    [ -n "$ANIVOR_PID" ] && kill "$ANIVOR_PID" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
export DISPLAY=":$DISPLAY_NUMBER"
sleep 1

# A 3-frame GIF from three pictures.
for c in gold tomato teal; do
    convert -size 120x80 "xc:$c" -fill white -draw "circle 60,40 75,40" "$WORK/$c.png"
done
"$CLI" make -o "$WORK/anim.gif" "$WORK/gold.png" "$WORK/tomato.png" "$WORK/teal.png" >/dev/null

cd "$WORK"
HOME="$WORK/home" ANIVOR_HOME="$WORK/home/anivor" "$ANIVOR" "$WORK/anim.gif" &
ANIVOR_PID=$!
WIN=""
for _ in $(seq 50); do
    WIN=$(xdotool search --name '^Anivor 13$' 2>/dev/null | head -1 || true)
    [ -n "$WIN" ] && break
    sleep 0.2
done
[ -n "$WIN" ] || { echo "no window"; exit 1; }
xdotool windowmove "$WIN" 0 0
xdotool windowsize "$WIN" 760 560
sleep 1
xdotool windowfocus --sync "$WIN"
key() { xdotool windowfocus --sync "$WIN"; xdotool key --window "$WIN" "$@"; sleep 0.6; }
shot() { import -window root -crop 760x560+0+0 "$SHOTS/$1"; }

shot desktop-opened.png
key F3
shot desktop-new-frame.png
key ctrl+z
key ctrl+y
key ctrl+z
shot desktop-undone.png
# Animation > Create, then Animation > Save GIF As..., typing the name into the dialog.
key alt+a
key c
sleep 1
key alt+a
key a
sleep 1
xdotool type --delay 30 "$WORK/saved.gif"
xdotool key Return
sleep 1.5
xdotool windowfocus --sync "$WIN" || true
shot desktop-saved.png
# The Frame menu with Undo and Redo, and Animation > Recent with the GIFs opened and saved.
key alt+f
shot desktop-frame-menu.png
key Escape
key alt+a
key r
shot desktop-recent.png
key Escape
key Escape
"$CLI" gif-info "$WORK/saved.gif" | head -4
echo "frames in saved.gif: $("$CLI" gif-frames "$WORK/saved.gif" "$WORK/frames" | wc -l)"
