#!/usr/bin/env bash
# The program started from its folder in a real window: the approved start screen, clicks on ">"
# and "Start", steering with held keys (the numpad's too; Shift ends an arrow's repeat),
# minimising and restoring; left standing, the sprite is hit until the table shows and data.hsc
# is written beside the program; "Restart"; closing the window. Then a folder without enemy
# pictures: a message box and a failure status.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=$(cd "${1:?usage: play_e2e.sh PROGRAM_FOLDER}" && pwd)

e2e_init 91
prog=$(e2e_program_folder "$PROGRAM_DIR")
e2e_start "$prog"
wid=$(e2e_window Kreiselsturm)
e2e_size "$wid" 907x788
e2e_shot "$wid" start.png
e2e_docs_shot "$wid" start-screen
e2e_matches start.png start_screen || e2e_fail "the start screen is not the approved one"
e2e_click "$wid" 345 288   # ">": the player preview shows picture 2
e2e_shot "$wid" chosen.png
e2e_check "$(e2e_img rmse start.png chosen.png 223 242 92 92) > 15" "'>' did not change the player preview"
e2e_click "$wid" 439 614   # "Start": the start panel goes (the sprite shows and steers), the size is fixed
e2e_shot "$wid" game.png
# Wine marks window sizes its own way (Motif hints): Linux only.
e2e_wine || xprop -id "$wid" WM_NORMAL_HINTS | grep -q "maximum size: 907 by 788" || e2e_fail "the window can still be resized after Start"

# The sprite stands in the centre. sprite_x NAME: a screenshot and where the sprite stands in its
# row, "none" if an enemy passing over it spoils three shots in a row.
read -r bx by bw bh <<<"$(e2e_img bbox game.png $NAVY 300 300 307 188)"
[ "$bx" != none ] || e2e_fail "no sprite in the centre after Start"
/usr/bin/convert game.png -crop "${bw}x${bh}+$((bx += 300))+$((by += 300))" +repage sprite.png
sprite_x() {
    local x err
    for _ in 1 2 3; do
        e2e_shot "$wid" "$1.png"
        read -r x _ err <<<"$(e2e_img find "$1.png" sprite.png 0 "$by" 907 "$bh")"
        awk "BEGIN{exit !($err < 10)}" && { echo "$x"; return; }
        sleep 0.2
    done
    echo none
}
xdotool mousemove --window "$wid" 5 780 keydown Right sleep 1 keyup Right sleep 0.2
x0=$(sprite_x right)
xdotool windowminimize --sync "$wid"
sleep 0.5
xdotool windowmap --sync "$wid"
sleep 0.5
x1=$(sprite_x restored)
xdotool keydown KP_Left sleep 1 keyup KP_Left sleep 0.2   # NumLock off
x2=$(sprite_x numpad)
# Shift pressed while an arrow is held is the key pressed last: the arrow's repeat ends.
xdotool keydown Left sleep 1 keydown Shift_L sleep 0.2
x3=$(sprite_x shift1)
sleep 0.5
x4=$(sprite_x shift2)
xdotool keyup Shift_L keyup Left
e2e_log "sprite: centre $bx, Right $x0, restored $x1, numpad left $x2, Left then Shift $x3 and $x4"
[ "$x0" != none ] && [ "$x0" -ge $((bx + 40)) ] || e2e_fail "holding Right did not move the sprite"
[ "$x1" = "$bx" ] || e2e_fail "the sprite is not back in the centre after minimising and restoring"
[ "$x2" != none ] && [ "$x2" -le $((x1 - 40)) ] || e2e_fail "the numpad's left arrow did not move the sprite"
[ "$x3" != none ] && [ "$x3" -lt "$x2" ] && [ "$x3" = "$x4" ] || e2e_fail "the held arrow kept repeating after Shift"

# Game over: the three best in data.hsc beside the program, the table over the frozen game.
e2e_poll 240 test -f "$prog/data.hsc" || e2e_fail "the game did not end within 4 minutes"
sleep 1.5
[ "$(stat -c %s "$prog/data.hsc")" = 384 ] || e2e_fail "data.hsc does not hold three records"
e2e_shot "$wid" table.png
e2e_docs_shot "$wid" highscore-table
e2e_check "$(e2e_img rmse table.png "$prog/highscore.jpg" 301 244 300 60 20 10) < 12" "the table does not show highscore.jpg"
e2e_click "$wid" 453 526   # "Restart": the window is made anew with the reloaded form
sleep 0.5
wid=$(e2e_window Kreiselsturm)
e2e_shot "$wid" restart.png
e2e_check "$(e2e_img rmse start.png restart.png 114 145 680 90) < 6" "Restart did not bring back the start screen"
xdotool key alt+F4
[ "$(e2e_wait_exit 10)" = 0 ] || e2e_fail "closing the window did not end the program with status 0"

# Without gegner1.gif a message box, on X11 drawn at the game's scale (here 2); answered, the
# program ends with a failure status, not a signal. A key sent while the box is still being
# mapped can get lost: answer until it ends.
prog=$(e2e_program_folder "$PROGRAM_DIR")
rm "$prog/gegner1.gif"
KREISELSTURM_SCALE=2 e2e_start "$prog"
box=$(e2e_message_box 10)
[ -n "$box" ] || e2e_fail "no message box for the missing enemy pictures (exit status $(e2e_wait_exit 1))"
e2e_wine || e2e_size "$box" 456x163
e2e_docs_shot "$box" message-box
for _ in 1 2 3 4 5; do
    xdotool mousemove --window "$box" 20 20 key Return 2>/dev/null
    status=$(e2e_wait_exit 2)
    [ "$status" = running ] || break
done
[ "$status" != running ] && [ "$status" -gt 0 ] && [ "$status" -lt 128 ] || e2e_fail "after the message: exit status $status"
e2e_log "play e2e passed"
