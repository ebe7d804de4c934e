#!/usr/bin/env bash
# Games in a real window with the sprite left standing: enemies come in from the right, the level
# number slides to 2 after 15 s, the third hit freezes the game at 0 lives under the blinking
# highscore table, data.hsc keeps the score, "Restart" brings back the start screen, a second
# game is ranked against the first, and Escape on the table ends the program.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=$(cd "${1:?usage: game_e2e.sh PROGRAM_FOLDER}" && pwd)
NAVY="27 34 60"                 # the window's background colour
RIGHT_FIELD="495 45 412 743"    # the playfield right of the sprite, which waits in the centre
LEVEL="80 0 41 41"              # the level number in the status row
LIVES="264 0 41 41"             # the lives number
# The highscore panel, centred, 345 x 321; its lines at Left 64, 241 x 25, Tops 80, 125, 170
# and 235; the marker 25 x 25 at Left 32.
PX=281 PY=234 PW=345 PH=321

now() { date +%s.%N; }
# wait_until SECONDS [FROM]: sleeps until SECONDS after FROM, by default the game's start.
wait_until() { sleep "$(awk "BEGIN{r = ${2:-$started} + $1 - $(now); print (r > 0 ? r : 0)}")"; }
check() { awk "BEGIN{exit !($1)}" || e2e_fail "$2 ($1)"; }
digit() { e2e_img digit "$1" "$prog/LiberationSansNarrow-Regular.ttf" $2; }

# start_screen SHOT: Splash.jpg on the start panel, level 1 and 3 lives; sets sx, sy.
start_screen() {
    read -r sx sy err <<<"$(e2e_img locate "$1" title.png 114 145 2)"
    check "$err < 6" "$1 shows no start screen"
    [ "$(digit "$1" "$LEVEL") $(digit "$1" "$LIVES")" = "1 3" ] || e2e_fail "$1 does not show level 1 and 3 lives"
}
click_start() {
    started=$(now)
    xdotool mousemove --window "$wid" $((sx + 325)) $((sy + 469)) sleep 0.1 click 1 sleep 0.3 mousemove --window "$wid" 5 780
}
# start_game: a fresh program folder without data.hsc, its start screen, "Start".
start_game() {
    e2e_stop
    prog=$(e2e_program_folder "$PROGRAM_DIR")
    rm -f "$prog/data.hsc"
    e2e_start "$prog"
    wid=$(e2e_window Kreiselsturm)
    e2e_shot "$wid" fresh.png
    start_screen fresh.png
    click_start
}
# enemy SHOT: a screenshot with something right of the sprite; sets ex.
enemy() {
    e2e_shot "$wid" "$1"
    read -r ex _ <<<"$(e2e_img bbox "$1" $NAVY $RIGHT_FIELD)"
    [ "$ex" != none ]
}

# The three scores in data.hsc: 384 bytes, three records of a length and digits, score, digits.
scores() {
    "$E2E_PY" - "$prog/data.hsc" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
recs = [data[n:n + 128] for n in range(0, len(data), 128)]
texts = [r[2:2 + (r[0] | r[1] << 8)].decode("latin-1") for r in recs]
if len(data) != 384 or not all(re.fullmatch(r"\d{4}-?\d+\d{4}", t) and not any(r[2 + len(t):]) for r, t in zip(recs, texts)):
    sys.exit(f"data.hsc is not three records of digits, score, digits, zeros: {data!r}")
print(" ".join(t[4:-4] for t in texts))
EOF
}
# game_over NUMBER: waits for the game's end, when data.hsc is written anew (every save is a
# new file), and the program still running; sets hs and s1 s2 s3 to the stored scores.
hsc_changed() { [ "$(stat -c %i "$prog/data.hsc" 2>/dev/null)" != "${hsc:-}" ]; }
game_over() {
    e2e_poll 240 hsc_changed || e2e_fail "game $1 did not end within 4 minutes"
    sleep 1.5   # the lives number slides to 0 once more after the game has ended
    hsc=$(stat -c %i "$prog/data.hsc")  # after the last save: a first game saves twice
    [ ! -e exit-status ] || e2e_fail "the program ended at game over"
    hs=$(scores 2>&1) || e2e_fail "$hs"
    read -r s1 s2 s3 <<<"$hs"
    e2e_log "game $1 over after $(awk "BEGIN{printf \"%.0f\", $(now) - $started}") s; data.hsc holds $hs"
}

e2e_init 93
cd "$E2E_TMP" || exit 1
/usr/bin/convert "$PROGRAM_DIR/Splash.jpg" -crop 680x90+0+0 +repage title.png
level=""
for attempt in 1 2 3; do
    start_game
    # The first enemy comes at 3 s from beyond the right edge; a moment later it is further left.
    wait_until 3
    e2e_poll 2 enemy enemy1.png || e2e_fail "no enemy came in from the right within 5 s of the start"
    ax=$ex
    sleep 0.3
    enemy enemy2.png && [ "$ex" -lt "$ax" ] || e2e_fail "the enemy did not move left (from $ax to $ex)"

    # Only a game still at level 1 with lives left shows the plain level-up: a purple item gives
    # five levels at once and starts the level clock anew, three early hits end the game.
    wait_until 14.3
    e2e_shot "$wid" level1.png
    [ "$(digit level1.png "$LEVEL")" = 1 ] && [ "$(digit level1.png "$LIVES")" != 0 ] ||
        { e2e_log "no plain level 1 at 14.3 s: another game"; continue; }
    # At 15 s the number slides up out of sight and comes back with 2, 0.62 s later.
    wait_until 15.05
    n=0
    while awk "BEGIN{exit !($(now) < $started + 15.55)}"; do n=$((n + 1)); e2e_shot "$wid" sliding$n.png; done
    wait_until 16.3
    e2e_shot "$wid" level2.png
    level=$(digit level2.png "$LEVEL")
    [ "$level" = 1 ] && [ "$(digit level2.png "$LIVES")" = 0 ] && { e2e_log "the game ended before 15 s: another game"; continue; }
    moving=0
    for i in $(seq "$n"); do
        awk "BEGIN{exit !($(e2e_img rmse level1.png sliding$i.png $LEVEL) > 3 && $(e2e_img rmse level2.png sliding$i.png $LEVEL) > 3)}" &&
            moving=$((moving + 1))
    done
    e2e_log "level number at 16.3 s: $level; $moving of $n shots in between caught it moving"
    [ "$moving" -gt 0 ] && [ "$level" = 2 ] || e2e_fail "the level number did not slide to 2 after 15 s (reads '$level')"
    break
done
[ "$level" = 2 ] || e2e_fail "no game in three showed the level-up at 15 s"

game_over 1
[ "$s1" -ge 10 ] && [ "$s2 $s3" = "0 0" ] || e2e_fail "after the first game data.hsc holds $hs"
first=$s1
# Frozen at 0 lives: two shots 800 ms apart differ only inside the blinking lines 1 and 4.
for _ in 1 2 3; do
    t0=$(now)
    e2e_shot "$wid" table1.png
    wait_until 0.8 "$t0"
    e2e_shot "$wid" table2.png
    [ "$(e2e_img rmse table1.png table2.png)" != 0.00 ] && break   # else both caught the same phase
done
[ "$(digit table1.png "$LIVES")" = 0 ] || e2e_fail "the lives number does not read 0 at game over"
box=$(/usr/bin/convert table1.png table2.png -compose difference -composite -threshold 3% -format '%@' info:)
[[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || e2e_fail "the table does not blink ($box)"
read -r bw bh bx by <<<"${BASH_REMATCH[*]:1}"
[ "$bx" -ge $((PX + 62)) ] && [ $((bx + bw)) -le $((PX + 307)) ] && [ "$by" -ge $((PY + 78)) ] &&
    [ $((by + bh)) -le $((PY + 262)) ] && [ "$bh" -gt 150 ] || e2e_fail "the shots do not differ in just the lines 1 and 4: $box"

# The panel shows highscore.jpg beneath the lines, "0" on line 2, spieler1.gif marking line 1.
/usr/bin/convert -size 907x788 xc:black \( "$prog/highscore.jpg" -resize "${PW}x${PH}!" \) \
    -geometry "+$PX+$PY" -composite panel.png
check "$(e2e_img rmse panel.png table1.png $((PX + 20)) $((PY + 10)) 300 60) < 12" "the panel does not show highscore.jpg"
check "$(e2e_img rmse panel.png table1.png $((PX + 64)) $((PY + 125)) 241 25) > 8" "line 2 shows no score"
export BG=panel.png
e2e_img expect m1.png $((PX + 32)) $((PY + 80)) 25 25 "$prog/spieler1.gif"
e2e_img expect m2.png $((PX + 32)) $((PY + 80)) 25 25 "$prog/spieler2.gif"
[ "$(e2e_img closer table1.png m1.png m2.png $((PX + 32)) $((PY + 80)) 25 25)" = A ] || e2e_fail "no spieler1.gif marker at line 1"

e2e_click "$wid" $((PX + 172)) $((PY + 292))   # "Restart"
sleep 0.5
wid=$(e2e_window Kreiselsturm)   # the window is made anew with the reloaded form
e2e_shot "$wid" restart.png
start_screen restart.png
click_start
game_over 2
[ "$s1" -gt "$s2" ] && [ "$s3" = 0 ] && { [ "$s1" = "$first" ] || [ "$s2" = "$first" ]; } ||
    e2e_fail "after scores $first and a second game data.hsc holds $hs"

xdotool key Escape   # to the focused game window; it is gone before the release
status=$(e2e_wait_exit 10)
[ "$status" = 0 ] || e2e_fail "Escape on the table: exit status $status"
e2e_log "game e2e passed"
