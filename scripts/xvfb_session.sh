# shellcheck shell=bash
# A private Xvfb display with the CALVETRA window on it, shared by
# scripts/screenshot.sh and tests/e2e_screenshot.sh. The sourcing script
# defines die MESSAGE (which ends it) and sets bin (the executable) and scale
# (the Qt scale factor) before calling these functions.

xvfb_pid="" app_pid="" wid=""
scratch="$(mktemp -d)"

stop() {  # pid
    if [ -n "$1" ] && kill "$1" 2>/dev/null; then
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# -noreset: an X server resets itself when its last client leaves, and a
# client connecting during the reset is refused; xdpyinfo's probe below is
# such a last client, so the program could find the display gone for a moment.
#
# A free display number: Xvfb takes the number's lock file atomically and
# ends at once when another server holds it, so the lock naming our server
# shows that the number is ours even when others start at the same moment.
try_display() {  # number width height
    Xvfb ":$1" -screen 0 "${2}x${3}x24" -nolisten tcp -noreset >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock")" = "$xvfb_pid" ] &&
            xdpyinfo -display ":$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

start_display() {  # width height
    local first=$((100 + $$ % 400))
    for n in $(seq "$first" $((first + 40))); do
        if try_display "$n" "$1" "$2"; then
            export DISPLAY=":$n"
            return
        fi
        stop "$xvfb_pid"
        xvfb_pid=""
    done
    die "could not start Xvfb: $(cat "$scratch/xvfb.log")"
}

# Starts the program and waits until its window shows; sets app_pid and wid.
start_program() {
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$scratch" "$bin" \
        >"$scratch/app.log" 2>&1 &
    app_pid=$!
    wid=""
    for _ in $(seq 100); do
        wid="$(xdotool search --onlyvisible --name '^CALVETRA$' 2>/dev/null | head -n1 || true)"
        [ -n "$wid" ] && break
        kill -0 "$app_pid" 2>/dev/null || die "calvetra ended before its window showed: $(cat "$scratch/app.log")"
        sleep 0.1
    done
    [ -n "$wid" ] || die "the CALVETRA window did not show within 10 s"
    shoot_until "$scratch/first.png" frame_painted || die "the CALVETRA window did not paint its graph within 10 s"
}

shoot() {  # file
    xwd -silent -id "$wid" | convert xwd:- "png:$1" || die "could not capture the window"
}

# Takes pictures of the window into FILE until CHECK FILE holds, for at most
# 10 s; returns 1 when it never does. The pixels say when a paint is done.
shoot_until() {  # file check...
    local file=$1
    shift
    for _ in $(seq 100); do
        shoot "$file"
        "$@" "$file" && return 0
        sleep 0.1
    done
    return 1
}

# Whether a colour (#RRGGBB) occurs in FILE in the rectangle of w x h pixels
# around the point (x, y) given in twips.
colour_near() {  # file x y w h hex
    local x y
    x=$(($(px "$2") - $4 / 2)) y=$(($(px "$3") - $5 / 2))
    convert "$1" -crop "$4x$5+$x+$y" -depth 8 txt:- | grep -qi "$6"
}

# Whether FILE shows the graph's frame: its black time axis, 4755 twips down
# the graph box at (8160, 480).
frame_painted() {  # file
    colour_near "$1" $((8160 + 3000)) $((480 + 4755)) 1 7 '#000000'
}

# Twips of the layout to pixels of the screen.
px() { echo $(((($1) * scale + 7) / 15)); }
