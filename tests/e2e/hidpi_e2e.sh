#!/usr/bin/env bash
# A high-density screen, forced with KREISELSTURM_SCALE=2: the window is twice as large in each
# direction, the start screen halved again matches the one at scale 1, and clicks still land on
# the buttons; then the desktop's own setting (Xft.dpi). E2E_SHOTS=DIR keeps both screenshots.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: hidpi_e2e.sh PROGRAM_FOLDER}
NAVY="27 34 60"   # the window's background colour
# Whole-window RMSE (0..1) between the scale-1 shot and the scale-2 shot halved. Measured: 0.047,
# from text hinted at a different size and the start panel, centred at 113.5 x 144.5 pixels,
# standing on whole pixels at scale 1 but exactly at scale 2. The same scale-1 shot moved by one
# pixel already gives 0.087, and anything drawn at the wrong size or place gives far more.
LIMIT=0.065
# The enemy preview changes every second: left out of the comparison (x0,y0 x1,y1 at scale 1).
PREVIEW="560,235 670,345"

E2E_SCREEN=2400x1800x24 e2e_init 97
prog=$(e2e_program_folder "$PROGRAM_DIR")

# shot SCALE FILE: the start screen at that scale, the preview blacked out; leaves the program
# running and its window id in $wid.
shot() {
    KREISELSTURM_SCALE=$1 e2e_start "$prog"
    wid=$(e2e_window Kreiselsturm)
    # The first frame of a large window may take a moment: wait until the splash picture shows.
    drawn() { e2e_shot "$wid" "$E2E_TMP/raw$1.png" && [ "$(/usr/bin/identify -format %k "$E2E_TMP/raw$1.png")" -gt 1000 ]; }
    e2e_poll 10 drawn "$1" || e2e_fail "scale $1: the start screen was not drawn"
    /usr/bin/convert "$E2E_TMP/raw$1.png" -scale "$((100 / $1))%" -fill black \
        -draw "rectangle $PREVIEW" "$2"
}

shot 1 "$E2E_TMP/one.png"
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 907x788" || e2e_fail "scale 1: $(xdotool getwindowgeometry "$wid")"
e2e_stop

shot 2 "$E2E_TMP/two-halved.png"
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 1814x1576" || e2e_fail "scale 2: $(xdotool getwindowgeometry "$wid")"
rmse=$(/usr/bin/compare -metric RMSE "$E2E_TMP/one.png" "$E2E_TMP/two-halved.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
e2e_log "scale 2 halved against scale 1: RMSE $rmse (limit $LIMIT)"
[ -n "$rmse" ] && awk "BEGIN{exit !($rmse < $LIMIT)}" || e2e_fail "the scale-2 window does not match scale 1 (RMSE $rmse)"
if [ -n "${E2E_SHOTS:-}" ]; then mkdir -p "$E2E_SHOTS" && cp "$E2E_TMP/raw1.png" "$E2E_TMP/raw2.png" "$E2E_SHOTS/"; fi

# "Start" at twice its place: the panel goes and the window keeps its doubled size, now fixed.
e2e_click "$wid" $((2 * 439)) $((2 * 614))
e2e_shot "$wid" "$E2E_TMP/game.png"
share=$(e2e_img share "$E2E_TMP/game.png" 268 330 500 880 $NAVY)
awk "BEGIN{exit !($share > 0.95)}" || e2e_fail "the click on Start at scale 2 did not start the game (background share $share)"
xprop -id "$wid" WM_NORMAL_HINTS | grep -q "maximum size: 1814 by 1576" || e2e_fail "after Start: $(xprop -id "$wid" WM_NORMAL_HINTS)"
e2e_stop

# Without KREISELSTURM_SCALE the desktop's setting counts: Xft.dpi 192 is a scale of 2.
echo "Xft.dpi: 192" | xrdb -merge
e2e_start "$prog"
wid=$(e2e_window Kreiselsturm)
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 1814x1576" || e2e_fail "Xft.dpi 192: $(xdotool getwindowgeometry "$wid")"
e2e_stop
e2e_log "high-density e2e passed"
