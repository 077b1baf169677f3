# Helpers for the scripts that drive the program on a virtual display (sourced, not run).
# Mouse positions are relative to EX, EY (set them to a window's top-left corner); shots
# go through the root window, where menus and dialogs show (HOME_DIR holds the scratch).

# Gives a window the keyboard (no window manager does it under Xvfb).
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; }

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
