# Helpers of the real-window tests on Linux and under Wine: the real program runs from a copy of
# its folder under Xvfb and openbox (which enforces size hints and closes windows on Alt+F4).
# E2E_KEEP=1, or a failure, keeps the files; E2E_SHOTS=DIR (docs/screenshots) takes pictures for the docs.
set -u
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_PY=/usr/bin/python3
E2E_PIDS=()
GAME_PID=""
NAVY="27 34 60"   # the game window's background colour
# Under Wine (WineTests.cmake) E2E_PROGRAM is Kreiselsturm.exe, E2E_LAUNCH the Wine runner,
# E2E_FOLDER_NAME has non-ASCII letters, E2E_SETTLE is the longer time Wine takes to draw.
export E2E_PROGRAM=${E2E_PROGRAM:-Kreiselsturm} E2E_LAUNCH=${E2E_LAUNCH:-}
e2e_wine() { [ "$E2E_PROGRAM" = Kreiselsturm.exe ]; }

e2e_log() { echo "[$(date +%H:%M:%S)] $*"; }
e2e_fail() { echo "FAIL: $*" >&2; E2E_KEEP=1; exit 1; }
# e2e_check EXPRESSION MESSAGE: fails with MESSAGE unless the awk EXPRESSION holds.
e2e_check() { awk "BEGIN{exit !($1)}" || e2e_fail "$2 ($1)"; }
# e2e_poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
e2e_poll() { local end=$((SECONDS + $1)); shift; until "$@"; do [ "$SECONDS" -lt "$end" ] || return 1; sleep 0.1; done; }

# e2e_init DISPLAY_NUMBER: Xvfb (E2E_SCREEN, default 1280x1024x24) and openbox on that display plus
# E2E_DISPLAY_OFFSET (for checkouts testing at once); a temporary working folder $E2E_TMP.
e2e_init() {
    export DISPLAY=":$(($1 + ${E2E_DISPLAY_OFFSET:-0}))"
    E2E_TMP=$(mktemp -d /tmp/kreiselsturm-e2e.XXXXXX)
    trap 'e2e_stop; kill "${E2E_PIDS[@]}" 2>/dev/null; [ -n "${E2E_KEEP:-}" ] && echo "files kept in $E2E_TMP" >&2 || rm -rf "$E2E_TMP"' EXIT
    cd "$E2E_TMP" || exit 1
    Xvfb "$DISPLAY" -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp >xvfb.log 2>&1 & E2E_PIDS+=($!)
    e2e_poll 5 xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb did not start on $DISPLAY"
    openbox >openbox.log 2>&1 & E2E_PIDS+=($!)
    sleep 0.5
}

# e2e_screen WxH: Xvfb's screen, and openbox's work area, become that size (at most the first one's).
e2e_screen() {
    { xrandr --newmode "$1" 0 "${1%x*}" 0 0 0 "${1#*x}" 0 0 0 && xrandr --addmode screen "$1" && xrandr --output screen --mode "$1" --fb "$1"; } >/dev/null 2>&1 &&
        e2e_poll 5 eval "xprop -root _NET_WORKAREA | grep -q '= 0, 0, ${1/x/, },'" || e2e_fail "the screen did not become $1"
}

# e2e_program_folder SOURCE: a private copy of the built program folder; prints its path.
e2e_program_folder() {
    local dest="$E2E_TMP/$RANDOM/${E2E_FOLDER_NAME:-prog}"
    mkdir -p "$(dirname "$dest")" && cp -r "$1" "$dest" && echo "$dest" || e2e_fail "cannot copy the program folder $1"
}

# e2e_start FOLDER: starts the program in its own process group (GAME_PID); its exit status lands
# in a file, so e2e_wait_exit works inside $(...). e2e_stop ends it if it still runs.
e2e_start() {
    rm -f "$E2E_TMP/exit-status"
    setsid bash -c '$E2E_LAUNCH "$1/$E2E_PROGRAM"; echo $? >"$2.part"; mv "$2.part" "$2"' _ "$1" "$E2E_TMP/exit-status" \
        >"$E2E_TMP/game.log" 2>&1 &
    GAME_PID=$!
}
e2e_stop() { [ -n "$GAME_PID" ] && kill -9 -- "-$GAME_PID" 2>/dev/null; GAME_PID=""; }
# e2e_wait_exit [SECONDS]: waits for the program to end; prints its exit status (or "running").
e2e_wait_exit() { if e2e_poll "${1:-10}" test -f "$E2E_TMP/exit-status"; then cat "$E2E_TMP/exit-status"; else echo running; fi; }

# e2e_window NAME [SECONDS]: the id of the visible window with that exact title, once it has
# its final size (the renderer re-creates the X window, so wait for the first frame).
e2e_window() {
    e2e_poll "${2:-15}" xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || e2e_fail "no window '$1' after ${2:-15}s"
    sleep "${E2E_SETTLE:-0.7}"
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1
}
e2e_size() { xdotool getwindowgeometry "$1" | grep -q "Geometry: $2\$" || e2e_fail "the window is not $2: $(xdotool getwindowgeometry "$1")"; }

# e2e_message_box [SECONDS]: the id of an open message box, from the window tree (xdotool cannot
# search its title; a run-time error's box is titled "Kreiselsturm", with no class); empty if none.
e2e_box_id() {
    xwininfo -root -tree 2>/dev/null |
        awk '/"Error!"|"Error"|"Update"|"Kreiselsturm": \(\)|"Kreiselsturm" .*[0-9]+x[0-9]+/ && !/907x788/ && !/"Update\.\.\."/ {print $1; exit}' | grep .
}
e2e_message_box() { e2e_poll "${1:-10}" e2e_box_id >/dev/null; e2e_box_id; }

# e2e_shot WID FILE: a screenshot of the window's inner area ("root": the whole screen).
e2e_shot() { timeout 10 /usr/bin/import -window "$1" "$2" || e2e_fail "screenshot of window $1 failed (is the program still running?)"; }
# e2e_docs_shot WID NAME: with E2E_SHOTS set, a screenshot for the docs; asserts nothing.
e2e_docs_shot() { [ -z "${E2E_SHOTS:-}" ] || e2e_shot "$1" "$E2E_SHOTS/$(e2e_wine && echo windows-)$2.png"; }
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1 sleep 0.3; }
# e2e_img COMMAND ARGS...: picture checks (see imgtool.py).
e2e_img() { "$E2E_PY" "$E2E_DIR/imgtool.py" "$@"; }

# e2e_matches SHOT NAME [SCALE]: the shot of the game window shows the frame sdl_render_test
# approved, tests/data/NAME.bmp, but for the random enemy preview. RMSE (0..1): the same frame
# 0.0014, at scale 2 (text hinted at its size) 0.019; another player picture in the preview 0.025.
e2e_matches() {
    local s=${3:-1} limit=0.01 rmse
    [ "$s" = 1 ] || limit=0.03
    rmse=$(/usr/bin/convert "$1" -crop "$((904 * s))x$((788 * s))+0+0" +repage -scale 226x197! "$E2E_DIR/../data/$2.bmp" \
        -compose difference -composite -fill black -draw "rectangle 141,59 167,85" -evaluate pow 2 -format '%[fx:sqrt(mean)]' info:)
    e2e_log "$1 against $2.bmp: RMSE $rmse (limit $limit)"
    awk "BEGIN{exit !(${rmse:-1} < $limit)}"
}
