#!/bin/bash
# Keeping the user's work, driven as a user would under a virtual display:
#  1. `anivor photo.png two.gif`: a 256 x 256 picture of 65,536 colours and two frames with
#     delays 7 and 250; Save Project (Ctrl+S), New, Open Project (Ctrl+O), Save Project As:
#     the second archive holds the same pictures, names, delays and flags as the first,
#     and its PNGs decode to the sources exactly.
#  2. F3, then New: "Save changes?"; Cancel keeps the strip.
#  3. F3, wait past the autosave interval, SIGKILL; start again: the recovery question;
#     Yes gives the strip with the new frame.
# Screenshots go to docs/screenshots/project-*.png.
# Usage: scripts/screenshot-projects.sh [ANIVOR [ANIVOR-CLI]]   (default: build/bin/...)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
ANIVOR="${1:-$ROOT/build/bin/anivor}"
CLI="${2:-$ROOT/build/bin/anivor-cli}"
SHOTS="$ROOT/docs/screenshots"
DISPLAY_NUMBER="${DISPLAY_NUMBER:-121}"
WORK="$(mktemp -d)"
HOMEDIR="$WORK/home/anivor"
mkdir -p "$SHOTS" "$HOMEDIR"

# No key repeat: on a busy machine a held key would repeat between press and release.
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -ardelay 60000 -arinterval 60000 >/dev/null 2>&1 &
XVFB=$!
ANIVOR_PID=""
cleanup() {
    [ -n "$ANIVOR_PID" ] && kill -9 "$ANIVOR_PID" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
export DISPLAY=":$DISPLAY_NUMBER"
sleep 1

# The sources: every colour (x, y, x^y) once, and two flat frames in a GIF with delays 7
# and 250.
python3 - "$WORK/photo.png" <<'EOF'
import struct, sys, zlib
rows = b"".join(b"\0" + bytes(c for x in range(256) for c in (x, y, x ^ y)) for y in range(256))
def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 256, 256, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
EOF
convert -size 256x256 xc:tomato "$WORK/a.png"
convert -size 256x256 xc:teal "$WORK/b.png"
convert -delay 7 "$WORK/a.png" -delay 250 "$WORK/b.png" "$WORK/two.gif"
printf '[Autosave]\nSeconds=2\n' > "$HOMEDIR/anivor.ini"

WIN=""
start() {
    cd "$WORK"
    HOME="$WORK/home" ANIVOR_HOME="$HOMEDIR" "$ANIVOR" "$@" &
    ANIVOR_PID=$!
    disown
    WIN=""
    for _ in $(seq 50); do
        WIN=$(xdotool search --name '^Anivor 13' 2>/dev/null | head -1 || true)
        [ -n "$WIN" ] && break
        sleep 0.2
    done
    [ -n "$WIN" ] || { echo "no window"; exit 1; }
    xdotool windowmove "$WIN" 0 0
    xdotool windowsize "$WIN" 900 600
    sleep 1
}
focus() { xdotool windowfocus --sync "$WIN"; }
key() { focus; xdotool key "$@"; sleep 0.8; }
shot() { import -window root -crop 900x600+0+0 "$SHOTS/$1"; }
title() { xdotool getwindowname "$WIN"; }
# Waits for the window named $1 to show.
waitFor() {
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && { sleep 0.5; return 0; }
        sleep 0.2
    done
    echo "no window \"$1\""
    exit 1
}
# Waits for the dialog named $1, types the file name $2 into it and presses Return.
typeName() {
    waitFor "$1"
    xdotool type --delay 80 "$2"
    sleep 0.3
    xdotool key Return
    sleep 2
}

# 1. Save, New, Open, Save As.
start "$WORK/photo.png" "$WORK/two.gif"
echo "title after the files came in: $(title)"
key ctrl+s
typeName "Save Project As" "$WORK/film.anivor"
echo "title after Save Project: $(title)"
key ctrl+n
waitFor Confirm
xdotool key Return # "Do you want to erase all current Frames?" Yes
sleep 1
key ctrl+o
typeName "Open Project" "$WORK/film.anivor"
shot project-opened.png
key ctrl+shift+s
typeName "Save Project As" "$WORK/again.anivor"
mkdir -p "$WORK/first" "$WORK/second"
(cd "$WORK/first" && unzip -q "$WORK/film.anivor")
(cd "$WORK/second" && unzip -q "$WORK/again.anivor")
python3 - "$WORK/first/project.json" "$WORK/second/project.json" <<'EOF'
import json, sys
a, b = (json.load(open(p))["frames"] for p in sys.argv[1:])
assert a == b, (a, b)
print("frames (name, delay, transparent):", [(f["name"], f["delay"], f["transparent"]) for f in a])
EOF
for i in 1 2 3; do
    f=$(printf 'frames/%05d.png' $i)
    [ "$(compare -metric AE "$WORK/first/$f" "$WORK/second/$f" null: 2>&1)" = "0" ] || { echo "frame $i differs"; exit 1; }
done
[ "$(compare -metric AE "$WORK/first/frames/00001.png" "$WORK/photo.png" null: 2>&1)" = "0" ] || { echo "photo changed"; exit 1; }
echo "pictures after Save, New, Open, Save As: identical; the photo's PNG decodes to the source"

# 2. Unsaved changes: New asks; Cancel keeps the strip.
key F3
sleep 0.5
focus
xdotool key ctrl+n
sleep 1
shot project-save-changes.png
xdotool key Escape
sleep 0.8
echo "title after Cancel: $(title)"

# 3. Killed after the autosave interval: the next start offers the copy.
sleep 4
ls "$HOMEDIR/recovery"
kill -9 "$ANIVOR_PID"
sleep 0.5
ANIVOR_PID=""
cd "$WORK"
HOME="$WORK/home" ANIVOR_HOME="$HOMEDIR" "$ANIVOR" &
ANIVOR_PID=$!
disown
sleep 3
import -window root -crop 900x600+0+0 "$SHOTS/project-recovery.png"
xdotool key Return # Restore, the default
sleep 1.5
WIN=$(xdotool search --name '^Anivor 13' | head -1)
echo "title after restoring: $(title)"
key ctrl+s
typeName "Save Project As" "$WORK/restored.anivor"
"$CLI" gif-frames "$WORK/restored.anivor" "$WORK/restored" | sed 's/^/restored: /'
