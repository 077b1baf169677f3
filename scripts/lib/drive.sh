# Helpers for the scripts that drive the program on a virtual display (sourced, not run).
# Mouse positions are relative to EX, EY (set them to a window's top-left corner); shots
# go through the root window, where menus and dialogs show (HOME_DIR holds the scratch).

# start_anivor [ARGS]: the program of the build tree, with HOME_DIR as its folder; sets PID
# and MAIN (the main window) and ends the program and removes HOME_DIR on exit.
start_anivor() {
    ANIVOR_HOME="$HOME_DIR" build/bin/anivor "$@" &
    PID=$!
    trap 'kill "$PID" 2>/dev/null || true; rm -rf "$HOME_DIR"' EXIT
    sleep 3
    MAIN=$(xdotool search --name "^Anivor 13$" | head -1)
}

# Gives a window (the main window by default) the keyboard: without a window manager a
# closed dialog does not hand it back.
focus() { xdotool windowfocus --sync "${1:-$MAIN}" 2>/dev/null || true; sleep 0.3; }

# first_frame W H: F3 on an empty strip, answering the size prompts.
first_frame() {
    focus
    xdotool key F3; sleep 1
    xdotool key ctrl+a; xdotool type "$1"; xdotool key Return; sleep 0.7
    xdotool key ctrl+a; xdotool type "$2"; xdotool key Return; sleep 0.7
}

# shot WINDOW FILE [GEOMETRY]: a picture of a window, or of GEOMETRY on the screen.
shot() {
    import -window root "$HOME_DIR/root.png"
    eval "$(xdotool getwindowgeometry --shell "$1")"
    convert "$HOME_DIR/root.png" -crop "${3:-${WIDTH}x${HEIGHT}+${X}+${Y}}" +repage "$2"
}

at() { xdotool mousemove $((EX + $1)) $((EY + $2)); sleep 0.1; }
click() { at "$1" "$2"; xdotool click 1; sleep 0.4; }
rclick() { at "$1" "$2"; xdotool click 3; sleep 0.5; }

# drag X1 Y1 X2 Y2 [KEY]: a left-button drag in eight steps; KEY is held at the release.
drag() {
    at "$1" "$2"
    xdotool mousedown 1
    for i in 1 2 3 4 5 6 7 8; do
        at $(($1 + ($3 - $1) * i / 8)) $(($2 + ($4 - $2) * i / 8))
    done
    if [ -n "${5:-}" ]; then xdotool keydown "$5"; sleep 0.1; fi
    xdotool mouseup 1
    if [ -n "${5:-}" ]; then xdotool keyup "$5"; fi
    sleep 0.3
}
