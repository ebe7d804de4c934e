#!/usr/bin/env bash
# Damaged, hostile and oversized pictures in a real window: each, put in the place of one of the
# game's pictures, ends the program with the message box naming the file and a failure status,
# never a signal. The files are crash reproductions of the decoder the game used before.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: bad_pictures_e2e.sh PROGRAM_FOLDER}
BAD="$E2E_DIR/../data/bad-pictures"

e2e_init 97

# check PICTURE AS: starts the game with PICTURE as its picture AS, answers the box, checks the end.
check() {
    local prog box status
    prog=$(e2e_program_folder "$PROGRAM_DIR")
    cp "$BAD/$1" "$prog/$2"
    e2e_start "$prog"
    box=$(e2e_message_box 10)
    [ -n "$box" ] || e2e_fail "$1 as $2: no message box (exit status $(e2e_wait_exit 1)); $(cat "$E2E_TMP/game.log")"
    # A key sent while the box is still being mapped can get lost: answer again until it ends.
    for _ in 1 2 3 4 5; do
        xdotool mousemove --window "$box" 20 20 key Return 2>/dev/null
        status=$(e2e_wait_exit 2)
        [ "$status" = running ] || break
    done
    e2e_log "$1 as $2: exit status $status, $(grep -o "Die Bilddatei.*" "$E2E_TMP/game.log")"
    [ "$status" != running ] || e2e_fail "$1 as $2: the program did not end after the message"
    [ "$status" -gt 0 ] && [ "$status" -lt 128 ] || e2e_fail "$1 as $2: exit status $status"
    grep -qi "Die Bilddatei '.*$2' " "$E2E_TMP/game.log" || e2e_fail "$1 as $2: the message does not name the file"
    GAME_PID=""
}

for picture in sdlimage-overflow.gif gif-segv.gif huge.gif bigdims-fuzz.gif svg-text-named.gif; do
    check "$picture" gegner1.gif
done
check huge-dimensions.jpg Splash.jpg
check gif-segv.gif Splash.jpg
e2e_log "bad pictures e2e passed"
