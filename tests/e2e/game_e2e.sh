#!/usr/bin/env bash
# A game in a real window: enemies come in from the right and travel left, the level number
# slides out and back in showing 2 after 15 s, and a game left to itself ends frozen with no
# lives left.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: game_e2e.sh PROGRAM_FOLDER}
BG="27 34 60"   # the window's background colour

# The playfield below the status row and right of the sprite, which waits in the centre.
RIGHT_FIELD="495 45 412 743"
# The level and lives numbers: Label2 and Label4, 41 x 41 pixels at the top edge.
LEVEL_DIGIT="80 0 41 41"
LIVES_DIGIT="264 0 41 41"

# digit SHOT x y w h: the digit 0-9 a crop shows, read by comparing its shape with the digits
# drawn in the program's own font; "none" when the crop holds only background.
digit() {
    "$E2E_PY" - "$prog/LiberationSansNarrow-Regular.ttf" "$@" <<'EOF'
import sys
from PIL import Image, ImageDraw, ImageFont

font_path, shot, x, y, w, h = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:7])
crop = Image.open(shot).convert("RGB").crop((x, y, x + w, y + h))
bg = max(crop.getcolors(w * h))[1]
mask = Image.new("L", crop.size)
mask.putdata([255 if max(abs(a - b) for a, b in zip(p, bg)) > 60 else 0 for p in crop.getdata()])
box = mask.getbbox()
if box is None:
    print("none")
    sys.exit()
shape = mask.crop(box)
font = ImageFont.truetype(font_path, 64)
best = None
for d in "0123456789":
    glyph = Image.new("L", (80, 100))
    ImageDraw.Draw(glyph).text((8, 4), d, fill=255, font=font)
    glyph = glyph.point(lambda v: 255 if v > 128 else 0)
    glyph = glyph.crop(glyph.getbbox()).resize(shape.size, Image.NEAREST)
    wrong = sum(a != b for a, b in zip(glyph.getdata(), shape.getdata())) / (shape.size[0] * shape.size[1])
    best = min(best or (2, d), (wrong, d))
print(best[1] if best[0] < 0.25 else "?")
EOF
}

now() { date +%s.%N; }
# wait_until START SECONDS: sleeps until SECONDS after START.
wait_until() { local rest; rest=$(awk "BEGIN{print $1 + $2 - $(now)}"); awk "BEGIN{exit !($rest > 0)}" && sleep "$rest"; }

# start_game: a fresh program; "Start" clicked; sets wid and started.
start_game() {
    [ -n "$GAME_PID" ] && kill -9 -- "-$GAME_PID" 2>/dev/null
    prog=$(e2e_program_folder "$PROGRAM_DIR")
    e2e_start "$prog"
    wid=$(e2e_window Kreiselsturm)
    e2e_shot "$wid" "$E2E_TMP/start.png"
    /usr/bin/convert "$prog/Splash.jpg" -crop 680x90+0+0 +repage "$E2E_TMP/title.png"
    read -r sx sy err <<<"$(e2e_img locate "$E2E_TMP/start.png" "$E2E_TMP/title.png" 114 145 2)"
    xdotool mousemove --window "$wid" $((sx + 325)) $((sy + 469))
    sleep 0.1
    started=$(now)
    xdotool click 1
    sleep 0.3
    xdotool mousemove --window "$wid" 5 780
    [ "$(digit "$E2E_TMP/start.png" $LEVEL_DIGIT)" = 1 ] || e2e_fail "the level number does not read 1 at the start"
    [ "$(digit "$E2E_TMP/start.png" $LIVES_DIGIT)" = 3 ] || e2e_fail "the lives number does not read 3 at the start"
}

e2e_init 93
for attempt in 1 2 3; do
    start_game

    # The first enemy comes at 3 s from beyond the right edge; two shots a moment apart show
    # it further left in the second.
    wait_until "$started" 3
    first=""
    for _ in $(seq 20); do
        e2e_shot "$wid" "$E2E_TMP/enemy1.png"
        read -r ax ay aw ah <<<"$(e2e_img bbox "$E2E_TMP/enemy1.png" $BG $RIGHT_FIELD)"
        [ "$ax" != none ] && first=$ax && break
        sleep 0.1
    done
    [ -n "$first" ] || e2e_fail "no enemy came in from the right within 5 s of the start"
    sleep 0.3
    e2e_shot "$wid" "$E2E_TMP/enemy2.png"
    read -r bx by bw bh <<<"$(e2e_img bbox "$E2E_TMP/enemy2.png" $BG $RIGHT_FIELD)"
    e2e_log "enemy at x=$((ax + 495)) ${aw}x$ah, then at x=$((bx + 495))"
    d=$(e2e_img rmse "$E2E_TMP/enemy1.png" "$E2E_TMP/enemy2.png" 0 45 907 743)
    awk "BEGIN{exit !($d > 0.5)}" || e2e_fail "the playfield did not change (rmse $d)"
    [ "$bx" != none ] && [ "$bx" -lt "$ax" ] || e2e_fail "the enemy did not move left (from $ax to $bx)"

    # A game that can show the plain level-up: none where a purple item gave five levels at
    # once before 15 s (the level clock then started anew) or where three early hits ended it.
    wait_until "$started" 14.3
    e2e_shot "$wid" "$E2E_TMP/level1.png"
    level=$(digit "$E2E_TMP/level1.png" $LEVEL_DIGIT)
    lives=$(digit "$E2E_TMP/level1.png" $LIVES_DIGIT)
    if [ "$level" != 1 ] || [ "$lives" = 0 ]; then
        e2e_log "level $level, lives $lives at 14.3 s: another game"
        continue
    fi

    # At 15 s the number slides up out of sight and comes back with 2, 0.62 s later: shots
    # in between show it at neither resting place.
    wait_until "$started" 15.05
    n=0
    while awk "BEGIN{exit !($(now) < $started + 15.55)}"; do
        n=$((n + 1))
        e2e_shot "$wid" "$E2E_TMP/sliding$n.png"
    done
    wait_until "$started" 16.3
    e2e_shot "$wid" "$E2E_TMP/level2.png"
    level=$(digit "$E2E_TMP/level2.png" $LEVEL_DIGIT)
    lives=$(digit "$E2E_TMP/level2.png" $LIVES_DIGIT)
    if [ "$level" = 1 ] && [ "$lives" = 0 ]; then
        e2e_log "the game ended before 15 s: another game"
        continue
    fi
    moving=0
    for i in $(seq "$n"); do
        from=$(e2e_img rmse "$E2E_TMP/level1.png" "$E2E_TMP/sliding$i.png" $LEVEL_DIGIT)
        to=$(e2e_img rmse "$E2E_TMP/level2.png" "$E2E_TMP/sliding$i.png" $LEVEL_DIGIT)
        awk "BEGIN{exit !($from > 3 && $to > 3)}" && moving=$((moving + 1))
    done
    e2e_log "level number at 16.3 s: $level; $moving of $n shots between 15.05 s and 15.55 s caught it moving"
    [ "$moving" -gt 0 ] || e2e_fail "the level number did not slide after 15 s"
    [ "$level" = 2 ] || e2e_fail "the level number reads '$level' at 16.3 s, not 2"
    break
done
[ "$level" = 2 ] || e2e_fail "no game in three showed the level-up at 15 s"

# Left to itself the sprite is hit sooner or later; the third hit ends the game and freezes it.
for _ in $(seq 48); do
    e2e_shot "$wid" "$E2E_TMP/play.png"
    lives=$(digit "$E2E_TMP/play.png" $LIVES_DIGIT)
    [ "$lives" = 0 ] && break
    sleep 5
done
e2e_log "lives number: $lives after $(awk "BEGIN{printf \"%.0f\", $(now) - $started}") s"
[ "$lives" = 0 ] || e2e_fail "the game did not end within 4 minutes (lives number '$lives')"
kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the program ended at game over"
sleep 1.5  # the lives number has settled
e2e_shot "$wid" "$E2E_TMP/over1.png"
sleep 1.5
e2e_shot "$wid" "$E2E_TMP/over2.png"
[ "$(digit "$E2E_TMP/over2.png" $LIVES_DIGIT)" = 0 ] || e2e_fail "the lives number does not stay at 0"
# Nothing moves any more beside the highscore panel in the centre (its marker blinks).
for region in "0 0 907 230" "0 230 280 558" "630 230 277 558" "0 560 907 228"; do
    d=$(e2e_img rmse "$E2E_TMP/over1.png" "$E2E_TMP/over2.png" $region)
    awk "BEGIN{exit !($d < 0.5)}" || e2e_fail "something still moves after game over in $region (rmse $d)"
done
e2e_log "game e2e passed"
