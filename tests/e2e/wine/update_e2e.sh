#!/usr/bin/env bash
# The update of the Windows program under Wine, in a folder whose name has non-ASCII letters:
# the question, Yes, the update window, the program ending, update.cmd carried out by Wine's
# cmd.exe (del, ren, start), the new program file started in the program folder, the listed
# files in their folders.
#   update_e2e.sh PROGRAM_FOLDER UPDATE_PROGRAM MARKER_PROGRAM PORT
# UPDATE_PROGRAM is Kreiselsturm.exe built for http://127.0.0.1:PORT; MARKER_PROGRAM a small
# program that notes where it was started.
source "$(dirname "$0")/../lib.sh"
PROGRAM_DIR=${1:?usage: update_e2e.sh PROGRAM_FOLDER UPDATE_PROGRAM MARKER_PROGRAM PORT}
UPDATE_PROGRAM=$2 MARKER_PROGRAM=$3 PORT=$4
base="http://127.0.0.1:$PORT"

e2e_init 97
cd "$E2E_TMP" || exit 1
# The server's folder: a newer version, the new program file and two listed files.
www=$E2E_TMP/www
mkdir -p "$www/spielhof/wirbel" "$www/dateien"
printf 'Version: 9,999\r\n' >"$www/spielhof/wirbel/version.txt"
cp "$MARKER_PROGRAM" "$www/spielhof/wirbel/Kreiselsturm.txt"
printf 'Lies mich.\r\n' >"$www/dateien/liesmich.txt"
printf 'GIF89a-ish' >"$www/dateien/extra.gif"
printf '[Namen]\r\nDatei1=liesmich.txt\r\nDatei2=extra.gif\r\n[URL]\r\nDatei1=%s/dateien/liesmich.txt\r\nDatei2=%s/dateien/extra.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n' \
    "$base" "$base" >"$www/spielhof/wirbel/updatedata.txt"
"$E2E_PY" -m http.server "$PORT" --bind 127.0.0.1 --directory "$www" >http.log 2>&1 &
E2E_PIDS+=($!)
e2e_poll 5 "$E2E_PY" -c "import urllib.request as u; u.urlopen('$base/spielhof/wirbel/version.txt', timeout=1)" 2>/dev/null ||
    e2e_fail "the loopback server did not start on port $PORT: $(cat http.log)"

prog=$(e2e_program_folder "$PROGRAM_DIR")
cp "$UPDATE_PROGRAM" "$prog/$E2E_PROGRAM"
e2e_start "$prog"
box=$(e2e_message_box 30)
[ -n "$box" ] && xwininfo -root -tree | grep -q "^ *$box \"Update\"" || e2e_fail "no update question after start-up (box '$box')"
sleep 0.5
e2e_shot "$box" question.png
xdotool mousemove --window "$box" 20 20 sleep 0.2 key Return

wid=$(e2e_window 'Update\.\.\.' 15)
e2e_shot "$wid" update.png
track=$(e2e_track_colour update.png)
[ "$track" = "192 192 255" ] || e2e_fail "no progress track in the update window (colour $track)"

status=$(e2e_wait_exit 30)
[ "$status" = 0 ] || e2e_fail "the program did not end cleanly after the update (status $status)"
e2e_poll 30 test -f "$prog/neu_gestartet.txt" || e2e_fail "the new program file was not started; folder: $(ls "$prog")"
# Wine shows the root of the Linux file system as drive Z:.
expected="started in Z:${prog//\//\\}"
grep -qxF "$expected" <(tr -d '\r' <"$prog/neu_gestartet.txt") ||
    e2e_fail "the new program ran elsewhere: $(cat "$prog/neu_gestartet.txt"), not $expected"
cmp -s "$prog/$E2E_PROGRAM" "$MARKER_PROGRAM" || e2e_fail "$E2E_PROGRAM was not replaced by the downloaded file"
e2e_update_files_landed "$prog" "$www"
e2e_log "update e2e under Wine passed in $prog"
