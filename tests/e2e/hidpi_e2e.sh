#!/usr/bin/env bash
# A high-density screen, the desktop's own setting: with Xft.dpi 192 the window is twice as large
# in each direction and shows the approved start screen at that size, a click on "Start" at its
# doubled place starts the game, and the window keeps its doubled size, now fixed.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: hidpi_e2e.sh PROGRAM_FOLDER}

E2E_SCREEN=2400x1800x24 e2e_init 97
echo "Xft.dpi: 192" | xrdb -merge
e2e_start "$(e2e_program_folder "$PROGRAM_DIR")"
wid=$(e2e_window Kreiselsturm)
e2e_size "$wid" 1814x1576
# The first frame of a large window may take a moment.
drawn() { e2e_shot "$wid" two.png && e2e_matches two.png start_screen 2; }
e2e_poll 10 drawn || e2e_fail "the start screen at scale 2 is not the approved one"
e2e_docs_shot "$wid" hidpi-scale2
e2e_click "$wid" 878 1228
e2e_shot "$wid" game.png
[ "$(e2e_img bbox game.png $NAVY 40 120 500 800)" = none ] || e2e_fail "the click on Start at scale 2 did not start the game"
xprop -id "$wid" WM_NORMAL_HINTS | grep -q "maximum size: 1814 by 1576" || e2e_fail "after Start: $(xprop -id "$wid" WM_NORMAL_HINTS)"
e2e_log "high-density e2e passed"
