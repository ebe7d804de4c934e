#!/usr/bin/env bash
# Two real games played to the end with the sprite standing still: the highscore table with its
# background, marker and blinking lines, "data.hsc" after each game, "Restart" back to a fresh
# start screen, the second game ranked against the first, Escape on the table ending the program.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: highscore_e2e.sh PROGRAM_FOLDER}

# The highscore panel in window pixels (points x 4/3): centred, 345 x 321; its lines (Left 64,
# 241 wide, 25 high) at Tops 80, 125, 170 and 235, the marker 25 x 25 at Left 32.
PX=281 PY=234 PW=345 PH=321

# The three scores stored in data.hsc, or a complaint about its layout.
scores() {
    "$E2E_PY" - "$1" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
if len(data) != 384:
    sys.exit(f"data.hsc has {len(data)} bytes")
out = []
for n in range(3):
    rec = data[n * 128:(n + 1) * 128]
    length = rec[0] | rec[1] << 8
    text = rec[2:2 + length].decode("ascii")
    if not re.fullmatch(r"\d{4}-?\d+\d{4}", text) or any(rec[2 + length:]):
        sys.exit(f"record {n + 1} is not digits, score, digits, zeros: {rec!r}")
    out.append(text[4:-4])
print(" ".join(out))
EOF
}

# play NUMBER: "Start", then no key at all until the game is over (data.hsc written anew).
play() {
    local before after=""
    before=$(stat -c %i "$prog/data.hsc" 2>/dev/null)   # every save is a new file
    e2e_click "$wid" 438 614   # "Start"
    for _ in $(seq 480); do
        after=$(stat -c %i "$prog/data.hsc" 2>/dev/null)
        [ -n "$after" ] && [ "$after" != "$before" ] && break
        sleep 0.5
    done
    [ -n "$after" ] && [ "$after" != "$before" ] || e2e_fail "game $1 did not end within 4 minutes"
    sleep 0.2   # data.hsc is replaced in one step; give the rename a moment to be on the disk
    e2e_log "game $1 over, data.hsc holds: $(scores "$prog/data.hsc")"
    sleep 1.5   # the lives number slides to 0 once more after the game has ended
}

e2e_init 94
prog=$(e2e_program_folder "$PROGRAM_DIR")
rm -f "$prog/data.hsc"
e2e_start "$prog"
wid=$(e2e_window Kreiselsturm)
xdotool mousemove --window "$wid" 5 780
e2e_shot "$wid" "$E2E_TMP/fresh.png"

play 1
read -r first zero1 zero2 <<<"$(scores "$prog/data.hsc")" || e2e_fail "$(scores "$prog/data.hsc")"
[ "$zero1 $zero2" = "0 0" ] || e2e_fail "after the first game the file holds $first $zero1 $zero2"

# Two screenshots 800 ms apart differ, and only inside the blinking lines 1 and 4.
e2e_shot "$wid" "$E2E_TMP/table1.png"
sleep 0.8
e2e_shot "$wid" "$E2E_TMP/table2.png"
if [ "$(e2e_img rmse "$E2E_TMP/table1.png" "$E2E_TMP/table2.png")" = 0.00 ]; then
    sleep 0.4   # both shots may have caught the same phase
    e2e_shot "$wid" "$E2E_TMP/table2.png"
fi
box=$(/usr/bin/convert "$E2E_TMP/table1.png" "$E2E_TMP/table2.png" -compose difference -composite \
    -threshold 3% -format '%@' info:)
e2e_log "blinking area: $box"
[[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || e2e_fail "the table does not blink ($box)"
read -r bw bh bx by <<<"${BASH_REMATCH[*]:1}"
[ "$bx" -ge $((PX + 62)) ] && [ $((bx + bw)) -le $((PX + 64 + 241 + 2)) ] &&
    [ "$by" -ge $((PY + 78)) ] && [ $((by + bh)) -le $((PY + 260 + 2)) ] && [ "$bh" -gt 150 ] ||
    e2e_fail "the screenshots differ outside lines 1 to 4: $box"

# The panel shows highscore.jpg stretched beneath the lines, and spieler1.gif as the marker of line 1.
/usr/bin/convert "$prog/highscore.jpg" -resize ${PW}x${PH}! "$E2E_TMP/panel.png"
/usr/bin/convert "$E2E_TMP/panel.png" -crop 300x60+20+10 +repage "$E2E_TMP/panel-top.png"
/usr/bin/convert "$E2E_TMP/table1.png" -crop 300x60+$((PX + 20))+$((PY + 10)) +repage "$E2E_TMP/shot-top.png"
d=$(e2e_img rmse "$E2E_TMP/panel-top.png" "$E2E_TMP/shot-top.png")
awk "BEGIN{exit !($d < 12)}" || e2e_fail "the panel does not show highscore.jpg (rmse $d)"
export BG="$E2E_TMP/panel.png"
e2e_img expect "$E2E_TMP/m1.png" 32 80 25 25 "$prog/spieler1.gif"
e2e_img expect "$E2E_TMP/m2.png" 32 80 25 25 "$prog/spieler2.gif"
[ "$(e2e_img closer "$E2E_TMP/table1.png" "$E2E_TMP/m1.png" "$E2E_TMP/m2.png" $((PX + 32)) $((PY + 80)) 25 25)" = A ] ||
    e2e_fail "no spieler1.gif marker at line 1"
/usr/bin/convert "$E2E_TMP/panel.png" -crop 241x25+64+125 +repage "$E2E_TMP/plain-line2.png"
/usr/bin/convert "$E2E_TMP/table1.png" -crop 241x25+$((PX + 64))+$((PY + 125)) +repage "$E2E_TMP/line2.png"
d=$(e2e_img rmse "$E2E_TMP/plain-line2.png" "$E2E_TMP/line2.png")
awk "BEGIN{exit !($d > 8)}" || e2e_fail "line 2 shows no score (rmse $d)"

# "Restart": the start screen again, with level 1 and 3 lives in the status row.
e2e_click "$wid" $((PX + 172)) $((PY + 292))
sleep 0.5
wid=$(e2e_window Kreiselsturm)   # the window is made anew with the reloaded form
e2e_shot "$wid" "$E2E_TMP/restart.png"
d=$(e2e_img rmse "$E2E_TMP/fresh.png" "$E2E_TMP/restart.png" 0 0 907 60)
awk "BEGIN{exit !($d < 3)}" || e2e_fail "the status row after Restart differs from a fresh start (rmse $d)"
d=$(e2e_img rmse "$E2E_TMP/fresh.png" "$E2E_TMP/restart.png" 114 145 680 400)
awk "BEGIN{exit !($d < 25)}" || e2e_fail "no start screen after Restart (rmse $d)"

# The second game is ranked against the first.
play 2
second=$(scores "$prog/data.hsc") || e2e_fail "$second"
read -r s1 s2 s3 <<<"$second"
[ "$s1" -ge "$s2" ] && [ "$s2" -ge "$s3" ] && [ "$s3" = 0 ] && { [ "$s1" = "$first" ] || [ "$s2" = "$first" ]; } &&
    { [ "$s1" != "$s2" ] || [ "$s2" = 0 ]; } ||
    e2e_fail "after scores $first and the second game the file holds $second"
e2e_shot "$wid" "$E2E_TMP/table-second.png"

# Escape on the table ends the program with status 0.
xdotool key Escape   # to the focused game window; it is gone before the release
status=$(e2e_wait_exit 10)
[ "$status" = 0 ] || e2e_fail "Escape on the table: exit status $status"
e2e_log "highscore e2e passed"
