# Shared helpers for the real-window tests: source it, then call e2e_init with a display number.
# The real program runs from a temporary copy of its folder under Xvfb and openbox (which
# enforces size hints and closes windows on Alt+F4). E2E_KEEP=1, or a failure, keeps the files.
set -u

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_PY=/usr/bin/python3
E2E_PIDS=()
GAME_PID=""
# The Windows build runs the same tests under Wine: its CTest sets E2E_PROGRAM=Kreiselsturm.exe,
# E2E_LAUNCH to its Wine runner, E2E_FOLDER_NAME to a folder name with non-ASCII letters and
# E2E_SETTLE to the longer time Wine takes to draw a new window's first frame.
E2E_PROGRAM=${E2E_PROGRAM:-Kreiselsturm}
E2E_LAUNCH=${E2E_LAUNCH:-}
E2E_FOLDER_NAME=${E2E_FOLDER_NAME:-prog}

e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }
e2e_fail() { echo "FAIL: $*" >&2; E2E_KEEP=1; exit 1; }

# e2e_stop: ends the program started last, if it still runs.
e2e_stop() { [ -n "$GAME_PID" ] && kill -9 -- "-$GAME_PID" 2>/dev/null; GAME_PID=""; }

e2e_cleanup() {
    e2e_stop
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    if [ -n "${E2E_KEEP:-}" ]; then echo "files kept in $E2E_TMP" >&2; else rm -rf "$E2E_TMP"; fi
}

# e2e_poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
e2e_poll() {
    local n=$(($1 * 10))
    shift
    until "$@"; do
        n=$((n - 1))
        [ "$n" -gt 0 ] || return 1
        sleep 0.1
    done
}

# e2e_init DISPLAY_NUMBER: Xvfb and openbox on that display, a temporary folder in $E2E_TMP.
# E2E_SCREEN sets the screen size (default 1280x1024x24).
# E2E_DISPLAY_OFFSET moves every display number, so several checkouts can run their tests at once.
e2e_init() {
    export DISPLAY=":$(($1 + ${E2E_DISPLAY_OFFSET:-0}))"
    E2E_TMP=$(mktemp -d /tmp/kreiselsturm-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    Xvfb "$DISPLAY" -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 5 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb did not start on $DISPLAY"
    openbox >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    sleep 0.5
}

# e2e_program_folder SOURCE: a private copy of the built program folder; prints its path.
e2e_program_folder() {
    local dest="$E2E_TMP/$RANDOM/$E2E_FOLDER_NAME"
    mkdir -p "$(dirname "$dest")" && cp -r "$1" "$dest" || e2e_fail "cannot copy the program folder $1"
    echo "$dest"
}

export E2E_PROGRAM E2E_LAUNCH
# e2e_start FOLDER: starts the program in its own process group; sets GAME_PID. Its exit
# status lands in a file, so e2e_wait_exit also works inside $(...).
e2e_start() {
    rm -f "$E2E_TMP/exit-status"
    setsid bash -c '$E2E_LAUNCH "$1/$E2E_PROGRAM"; echo $? >"$2.part"; mv "$2.part" "$2"' _ "$1" "$E2E_TMP/exit-status" \
        >"$E2E_TMP/game.log" 2>&1 &
    GAME_PID=$!
}

# e2e_wait_exit [SECONDS]: waits for the program to end; prints its exit status (or "running").
e2e_wait_exit() {
    if e2e_poll "${1:-10}" test -f "$E2E_TMP/exit-status"; then cat "$E2E_TMP/exit-status"; else echo running; fi
}

# e2e_window NAME [SECONDS]: the id of the visible window with that exact title, once it has
# its final size (the renderer re-creates the X window, so wait for the first frame).
e2e_window() {
    e2e_poll "${2:-15}" xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || e2e_fail "no window '$1' after ${2:-15}s"
    sleep "${E2E_SETTLE:-0.7}"
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1
}

# e2e_message_box [SECONDS]: the id of an open message box (its X window carries no title
# xdotool can search, so look through the window tree; the game and update windows are not
# boxes, a run-time error's box has the title "Kreiselsturm" and no class); empty if none.
e2e_box_id() {
    xwininfo -root -tree 2>/dev/null |
        awk '/"Error!"|"Error"|"Update"|"Kreiselsturm": \(\)|"Kreiselsturm" .*[0-9]+x[0-9]+/ && !/907x788/ && !/"Update\.\.\."/ {print $1; exit}' | grep .
}
e2e_message_box() { e2e_poll "${1:-10}" e2e_box_id >/dev/null; e2e_box_id; }

# e2e_shot WID FILE: a screenshot of the window's inner area.
e2e_shot() { timeout 10 /usr/bin/import -window "$1" "$2" || e2e_fail "screenshot of window $1 failed (is the program still running?)"; }

# e2e_click WID X Y: a left click at a point inside the window.
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1 sleep 0.3; }

# e2e_hold KEY SECONDS: holds a key, as a player would.
e2e_hold() { xdotool keydown "$1" sleep "$2" keyup "$1" sleep 0.2; }

# e2e_img COMMAND ARGS...: picture checks (see imgtool.py).
e2e_img() { "$E2E_PY" "$E2E_DIR/imgtool.py" "$@"; }

# e2e_track_colour FILE: the mean colour "R G B" of the update window's progress track.
e2e_track_colour() {
    /usr/bin/convert "$1" -crop 60x10+300+85 +repage -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:
}

# e2e_update_files_landed PROGRAM_FOLDER SERVER_FOLDER: the listed files are in place and the
# updater's own files gone.
e2e_update_files_landed() {
    cmp -s "$1/liesmich.txt" "$2/dateien/liesmich.txt" || e2e_fail "liesmich.txt is not in the program folder"
    cmp -s "$1/grafik/extra.gif" "$2/dateien/extra.gif" || e2e_fail "extra.gif is not in grafik/"
    for gone in Kreiselsturm.dxe extra.gif updatedata.txt version.txt Version.txt; do
        [ ! -e "$1/$gone" ] || e2e_fail "$gone was left in the program folder"
    done
}
