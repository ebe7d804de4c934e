#!/usr/bin/env bash
# The start screen in a real window: the splash picture and the previews, choosing a picture,
# "Start", steering with a held key (the numpad's too; Shift ends an arrow's repeat), minimising
# and restoring, closing the window; and a folder without enemy pictures, a failure.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: start_screen_e2e.sh PROGRAM_FOLDER}
NAVY="27 34 60"   # the window's background colour

e2e_init 91
prog=$(e2e_program_folder "$PROGRAM_DIR")
e2e_start "$prog"
wid=$(e2e_window Kreiselsturm)
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 907x788" || e2e_fail "window is not 907x788: $(xdotool getwindowgeometry "$wid")"

# The start panel shows Splash.jpg, centred: 113.5 x 144.5 pixels from the corner.
e2e_shot "$wid" "$E2E_TMP/start.png"
/usr/bin/convert "$prog/Splash.jpg" -crop 680x90+0+0 +repage "$E2E_TMP/title.png"
read -r sx sy err <<<"$(e2e_img locate "$E2E_TMP/start.png" "$E2E_TMP/title.png" 114 145 2)"
e2e_log "splash at $sx,$sy (rmse $err)"
awk "BEGIN{exit !($err < 6)}" || e2e_fail "the start panel does not show Splash.jpg (rmse $err)"

# Previews: the player picture 1 at (109,97) 92x92, an enemy picture at (455,98) 90x90.
export BG="$prog/Splash.jpg"
e2e_img expect "$E2E_TMP/p1.png" 109 97 92 92 "$prog/spieler1.gif"
e2e_img expect "$E2E_TMP/p2.png" 109 97 92 92 "$prog/spieler2.gif"
[ "$(e2e_img closer "$E2E_TMP/start.png" "$E2E_TMP/p1.png" "$E2E_TMP/p2.png" $((sx + 109)) $((sy + 97)) 92 92)" = A ] ||
    e2e_fail "the player preview does not show spieler1.gif"
/usr/bin/convert "$prog/Splash.jpg" -crop 90x90+455+98 +repage "$E2E_TMP/plain.png"
/usr/bin/convert "$E2E_TMP/start.png" -crop 90x90+$((sx + 455))+$((sy + 98)) +repage "$E2E_TMP/enemy1.png"
d=$(e2e_img rmse "$E2E_TMP/plain.png" "$E2E_TMP/enemy1.png")
awk "BEGIN{exit !($d > 15)}" || e2e_fail "no enemy preview on the start panel (rmse $d)"

# The enemy preview changes once a second.
sleep 1.1
e2e_shot "$wid" "$E2E_TMP/start2.png"
/usr/bin/convert "$E2E_TMP/start2.png" -crop 90x90+$((sx + 455))+$((sy + 98)) +repage "$E2E_TMP/enemy2.png"
d=$(e2e_img rmse "$E2E_TMP/enemy1.png" "$E2E_TMP/enemy2.png")
awk "BEGIN{exit !($d > 5)}" || e2e_fail "the enemy preview did not change after a second (rmse $d)"

# ">" chooses player picture 2.
e2e_click "$wid" $((sx + 231)) $((sy + 143))
e2e_shot "$wid" "$E2E_TMP/chosen.png"
[ "$(e2e_img closer "$E2E_TMP/chosen.png" "$E2E_TMP/p2.png" "$E2E_TMP/p1.png" $((sx + 109)) $((sy + 97)) 92 92)" = A ] ||
    e2e_fail "after '>' the player preview does not show spieler2.gif"

# "Start": the panel goes, the window gets a fixed size, the sprite stands in the centre.
e2e_click "$wid" $((sx + 325)) $((sy + 469))
e2e_shot "$wid" "$E2E_TMP/game.png"
share=$(e2e_img share "$E2E_TMP/game.png" $((sx + 20)) $((sy + 20)) 250 440 $NAVY)
awk "BEGIN{exit !($share > 0.95)}" || e2e_fail "the start panel is still there after Start (background share $share)"
hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
echo "$hints" | grep -q "minimum size: 907 by 788" && echo "$hints" | grep -q "maximum size: 907 by 788" ||
    e2e_fail "the window can still be resized after Start: $hints"
read -r bx by bw bh <<<"$(e2e_img bbox "$E2E_TMP/game.png" $NAVY 300 300 307 188)"
e2e_log "sprite at $((bx + 300)),$((by + 300)) ${bw}x${bh}"
[ "$bx" != none ] || e2e_fail "no sprite in the centre after Start"

# Holding the right arrow moves the sprite to the right.
xdotool mousemove --window "$wid" 5 700
e2e_hold Right 1
e2e_shot "$wid" "$E2E_TMP/moved.png"
read -r mx my mw mh <<<"$(e2e_img bbox "$E2E_TMP/moved.png" $NAVY 300 300 607 188)"
e2e_log "sprite after holding Right: $((mx + 300)),$((my + 300))"
[ "$mx" != none ] && [ $((mx - bx)) -ge 40 ] || e2e_fail "the sprite did not move right (from $bx to $mx)"

# The sprite as it stood after Start; sprite_x NAME: a screenshot and where the sprite stands in
# its row, "none" if an enemy passing over it spoils three shots in a row.
/usr/bin/convert "$E2E_TMP/game.png" -crop "${bw}x${bh}+$((bx + 300))+$((by + 300))" +repage "$E2E_TMP/sprite.png"
sprite_x() {
    local x err
    for _ in 1 2 3; do
        e2e_shot "$wid" "$E2E_TMP/$1.png"
        read -r x _ err <<<"$(e2e_img find "$E2E_TMP/$1.png" "$E2E_TMP/sprite.png" 0 $((by + 300)) 907 "$bh")"
        awk "BEGIN{exit !($err < 10)}" && { echo "$x"; return; }
        sleep 0.2
    done
    echo none
}

# Minimising and restoring the window puts the sprite back in the centre.
xdotool windowminimize --sync "$wid"
sleep 0.5
xdotool windowmap --sync "$wid"
sleep 0.5
x1=$(sprite_x restored)
e2e_log "sprite after minimising and restoring: at $x1"
[ "$x1" = $((bx + 300)) ] || e2e_fail "the sprite is not back in the centre after minimising and restoring ($x1, not $((bx + 300)))"

# The numpad's left arrow (NumLock off) steers like the arrow key.
e2e_hold KP_Left 1
x2=$(sprite_x numpad)
e2e_log "sprite after holding the numpad's left arrow: at $x2"
[ "$x2" != none ] && [ "$x2" -le $((x1 - 40)) ] || e2e_fail "the numpad's left arrow did not move the sprite (from $x1 to $x2)"

# Shift pressed while an arrow is held is the key pressed last: the arrow's repeat ends.
xdotool keydown Left sleep 1 keydown Shift_L sleep 0.2
x3=$(sprite_x shift1)
sleep 0.5
x4=$(sprite_x shift2)
xdotool keyup Shift_L keyup Left
e2e_log "sprite with Left and then Shift held: at $x3, 0.5 s later at $x4"
[ "$x3" != none ] && [ "$x3" -lt "$x2" ] && [ "$x3" = "$x4" ] || e2e_fail "the held arrow kept repeating after Shift (from $x2 to $x3 to $x4)"

# Held long enough to reach the right edge, the sprite stays inside the window.
e2e_hold Right 5
e2e_shot "$wid" "$E2E_TMP/edge.png"
read -r ex ey ew eh <<<"$(e2e_img bbox "$E2E_TMP/edge.png" $NAVY 600 300 307 188)"
[ "$ex" != none ] && [ $((ex + ew)) -lt 307 ] || e2e_fail "the sprite left the window on the right"

# Closing the window ends the program with status 0.
xdotool key alt+F4
status=$(e2e_wait_exit 10)
[ "$status" = 0 ] || e2e_fail "closing the window: exit status $status"

# Without gegner1.gif the program says so and ends.
prog2=$(e2e_program_folder "$PROGRAM_DIR")
rm "$prog2/gegner1.gif"
e2e_start "$prog2"
box=$(e2e_message_box 10)
[ -n "$box" ] || e2e_fail "no message box for the missing enemy pictures"
/usr/bin/import -window root "$E2E_TMP/missing.png"
xdotool mousemove --window "$box" 20 20
xdotool key Return
status=$(e2e_wait_exit 10)
[ "$status" != running ] && [ "$status" != 0 ] || e2e_fail "after the message the program ended with status $status, or did not end"
e2e_log "start screen e2e passed"
