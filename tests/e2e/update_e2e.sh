#!/usr/bin/env bash
# The update in a real window, from a second build that asks a loopback http.server for a newer
# version: the update window while the check waits for a slow server, the question, Yes, the update window, the program ending, the script swapping the
# program file and starting the new one (a shell script that notes that it ran), the listed
# files in their folders. Then, with the server down, the game starts as usual.
source "$(dirname "$0")/lib.sh"
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
now() { date +%s.%N; }
since() { awk "BEGIN{printf \"%.1f\", $(now) - $1}"; }

e2e_init 95
cd "$E2E_TMP" || exit 1
port=$("$E2E_PY" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
base="http://127.0.0.1:$port"

# The program with this server compiled in; only its own target, to keep the build short.
e2e_log "building the program for $base"
cmake -S "$SOURCE_DIR" -B build -DCMAKE_BUILD_TYPE=Debug -DKREISELSTURM_TESTS=OFF -DKREISELSTURM_UPDATE_URL="$base" \
    >build.log 2>&1 && cmake --build build -j2 --target Kreiselsturm >>build.log 2>&1 ||
    e2e_fail "the build failed: $(tail -n 20 build.log)"

# The server's folder: a newer version, the new "program file" and two listed files.
www=$E2E_TMP/www
mkdir -p "$www/spielhof/wirbel" "$www/dateien"
printf 'Version: 9,999\r\n' >"$www/spielhof/wirbel/version.txt"
printf '#!/bin/sh\necho "started in $(pwd)" > neu_gestartet.txt\n' >"$www/spielhof/wirbel/Kreiselsturm.txt"
printf 'Lies mich.\n' >"$www/dateien/liesmich.txt"
printf 'GIF89a-ish' >"$www/dateien/extra.gif"
printf '[Namen]\r\nDatei1=liesmich.txt\r\nDatei2=extra.gif\r\n[URL]\r\nDatei1=%s/dateien/liesmich.txt\r\nDatei2=%s/dateien/extra.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n' \
    "$base" "$base" >"$www/spielhof/wirbel/updatedata.txt"
# A plain file server, but the first answer for version.txt comes only after four seconds.
cat >server.py <<'PY'
import functools, http.server, sys, time
class Handler(http.server.SimpleHTTPRequestHandler):
    slow = True
    def do_GET(self):
        if self.path.endswith("/version.txt") and Handler.slow:
            Handler.slow = False
            time.sleep(4)
        super().do_GET()
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), functools.partial(Handler, directory=sys.argv[2])).serve_forever()
PY
"$E2E_PY" server.py "$port" "$www" >http.log 2>&1 &
server=$!
E2E_PIDS+=($server)
e2e_poll 5 "$E2E_PY" -c "import urllib.request as u; u.urlopen('$base/spielhof/wirbel/Kreiselsturm.txt', timeout=1)" 2>/dev/null ||
    e2e_fail "the loopback server did not start"

prog=$(e2e_program_folder build/Kreiselsturm)
e2e_start "$prog"
# While start-up waits for the server the player sees the update window, not nothing.
wid=$(e2e_window 'Update\.\.\.' 3)
e2e_shot "$wid" checking.png
grep -q version.txt http.log && e2e_fail "the update window came only after the check had ended"
track=$(e2e_track_colour checking.png)
[ "$track" = "192 192 255" ] || e2e_fail "the update window is not drawn during the check (colour $track)"
box=$(e2e_message_box 15)
[ -n "$box" ] && xwininfo -root -tree | grep -q "^ *$box \"Update\"" || e2e_fail "no update question after start-up (box '$box')"
sleep 0.5
e2e_shot "$box" question.png
# Yes is the default button: Return presses it (keys reach the box with the pointer over it).
xdotool mousemove --window "$box" 20 20 sleep 0.2 key Return
asked=$(now)

wid=$(e2e_window 'Update\.\.\.' 10)
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 449x142" || e2e_fail "the update window is not 449x142: $(xdotool getwindowgeometry "$wid")"
e2e_shot "$wid" update.png
# The track of the progress display, &H00FFC0C0, lies across the window.
track=$(e2e_track_colour update.png)
[ "$track" = "192 192 255" ] || e2e_fail "no progress track in the update window (colour $track)"
xdotool search --onlyvisible --name '^Kreiselsturm$' >/dev/null 2>&1 && e2e_fail "the game window is shown during the update"

status=$(e2e_wait_exit 15)
e2e_log "the program ended $(since "$asked") s after Yes, status $status"
[ "$status" = 0 ] || e2e_fail "the program did not end cleanly after the update (status $status)"
e2e_poll 10 test -f "$prog/neu_gestartet.txt" || e2e_fail "the new program file was not started; folder: $(ls "$prog")"
grep -qx "started in $prog" "$prog/neu_gestartet.txt" || e2e_fail "the new program ran elsewhere: $(cat "$prog/neu_gestartet.txt")"
cmp -s "$prog/Kreiselsturm" "$www/spielhof/wirbel/Kreiselsturm.txt" && [ -x "$prog/Kreiselsturm" ] ||
    e2e_fail "the program file was not swapped for an executable new one"
e2e_update_files_landed "$prog" "$www"

# With the server down the game window comes up, and no message box.
kill "$server"
wait "$server" 2>/dev/null
started=$(now)
e2e_start "$(e2e_program_folder build/Kreiselsturm)"
e2e_window Kreiselsturm 8 >/dev/null
e2e_log "server down: the game window appeared $(since "$started") s after the start"
[ -z "$(e2e_message_box 1)" ] || e2e_fail "server down: a message box appeared"
e2e_log "update e2e passed"
