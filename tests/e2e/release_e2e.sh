#!/usr/bin/env bash
# The Linux release: CPack's archive holds the program folder and nothing a game played from the
# build left there; unpacked under an awkward path, its script puts a valid menu entry with the
# icons into the user's data folder, the entry starts the game from there, and --remove undoes it.
# The desktop is a high-density one (Xft.dpi 192, a scale of 2): the window is twice as large in
# each direction, shows the approved start screen at that size, takes a click on "Start" at its
# doubled place and keeps its doubled size, now fixed. On a 1920 x 1080 screen at 150 % the window
# takes the largest scale at which it fits with its frame: 1.25, as 1.5 would cut off its bottom.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: release_e2e.sh PROGRAM_FOLDER}
BUILD_DIR=$(cd "$PROGRAM_DIR/.." && pwd)

E2E_SCREEN=2000x1700x24 e2e_init 99
echo "Xft.dpi: 192" | xrdb -merge
# A game played from the build folder leaves its highscores there: they must not ship.
leftover=$PROGRAM_DIR/data.hsc
[ -e "$leftover" ] && leftover="" || echo played >"$leftover"
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$E2E_TMP/pkg" >cpack.log 2>&1
status=$?
rm -f ${leftover:+"$leftover"}
[ "$status" = 0 ] || e2e_fail "cpack failed: $(tail -5 cpack.log)"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
archive="$E2E_TMP/pkg/Kreiselsturm-$version-Linux.tar.gz"
[ -n "$version" ] && [ -f "$archive" ] || e2e_fail "no archive Kreiselsturm-$version-Linux.tar.gz: $(ls pkg)"

# Exactly the program folder: program, pictures, font, menu entry, icons, install script, the
# licence of the library linked in.
{ printf 'Kreiselsturm/%s\n' "" Kreiselsturm kreiselsturm.desktop install-desktop-entry.sh icons/ icons/kreiselsturm-{48,128,256}.png \
    Lizenzen/ Lizenzen/libsodium.txt
  (cd "$E2E_DIR/../../assets" && printf 'Kreiselsturm/%s\n' *); } | sort >expected.txt
tar tzf "$archive" | sort | diff expected.txt - >listing.diff || e2e_fail "archive contents: $(cat listing.diff)"

# Unpacked where a player might put it: spaces, quotes, a dollar sign and a folder named a\b (on
# Linux the backslash is part of the name, not a separator) in the path.
games="$E2E_TMP/Meine Spiele \"neu\" \$HOME 1/a\\b"
mkdir -p "$games"
(cd "$games" && tar xzf "$archive") || e2e_fail "cannot unpack the archive"
folder="$games/Kreiselsturm"
export XDG_DATA_HOME="$E2E_TMP/data"
sh "$folder/install-desktop-entry.sh" >install.log 2>&1 || e2e_fail "install script: $(cat install.log)"
entry="$XDG_DATA_HOME/applications/kreiselsturm.desktop"
[ -f "$entry" ] || e2e_fail "no menu entry at $entry"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$entry" >validate.log 2>&1 || e2e_fail "invalid entry: $(cat validate.log)"
for s in 48 128 256; do
    [ "$(/usr/bin/identify -format %wx%h "$XDG_DATA_HOME/icons/hicolor/${s}x$s/apps/kreiselsturm.png")" = "${s}x$s" ] || e2e_fail "no icon ${s}x$s"
done

# The desktop's way of starting it (GLib reads the entry): the program of the unpacked folder, in
# that folder, finding its own pictures. The first frame of a large window may take a moment.
(cd / && gio launch "$entry") >launch.log 2>&1 || e2e_fail "gio launch: $(cat launch.log)"
wid=$(e2e_window Kreiselsturm)
pid=$(xdotool getwindowpid "$wid")
[ "$(readlink "/proc/$pid/exe")" = "$folder/Kreiselsturm" ] || e2e_fail "the entry started $(readlink "/proc/$pid/exe")"
[ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || e2e_fail "it runs in $(readlink "/proc/$pid/cwd")"
e2e_size "$wid" 1814x1576
drawn() { e2e_shot "$wid" start.png && e2e_matches start.png start_screen 2; }
e2e_poll 10 drawn || e2e_fail "the start screen at scale 2 is not the approved one"
e2e_docs_shot "$wid" hidpi-scale2
e2e_click "$wid" 878 1228
e2e_shot "$wid" game.png
[ "$(e2e_img bbox game.png $NAVY 40 120 500 800)" = none ] || e2e_fail "the click on Start at scale 2 did not start the game"
xprop -id "$wid" WM_NORMAL_HINTS | grep -q "maximum size: 1814 by 1576" || e2e_fail "after Start: $(xprop -id "$wid" WM_NORMAL_HINTS)"
kill "$pid"
e2e_screen 1920x1080
echo "Xft.dpi: 144" | xrdb -merge
e2e_start "$folder"
wid=$(e2e_window Kreiselsturm)
e2e_size "$wid" 1134x985
read -r x y < <(xwininfo -id "$wid" | awk '/Absolute upper-left/ {v = v $NF " "} END {print v}')
IFS=', ' read -r left right top bottom < <(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= //')
e2e_check "$x - $left >= 0 && $y - $top >= 0 && $x + 1134 + $right <= 1920 && $y + 985 + $bottom <= 1080" "the framed window leaves the screen"
e2e_docs_shot root hidpi-scale1.25
e2e_stop

sh "$folder/install-desktop-entry.sh" --remove >/dev/null || e2e_fail "--remove failed"
[ -z "$(find "$XDG_DATA_HOME" -name 'kreiselsturm*')" ] || e2e_fail "left behind: $(find "$XDG_DATA_HOME" -name 'kreiselsturm*')"
e2e_log "release e2e passed"
