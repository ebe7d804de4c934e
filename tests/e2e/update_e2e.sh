#!/usr/bin/env bash
# The update in a real window: a second build of the program that asks a loopback server
# (python's http.server serving a folder) for a newer version. The question appears, Yes is
# pressed, the update window shows, the program ends after about five seconds, and the script
# swaps the program file and starts the new one, a small shell script that notes that it ran.
# Then the server is down, and then it accepts but never answers: the game starts either way.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: update_e2e.sh PROGRAM_FOLDER}
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
SHOTS=${E2E_SHOTS:-$(dirname "$PROGRAM_DIR")/e2e-shots}
mkdir -p "$SHOTS"

e2e_init 93
now() { date +%s.%N; }
since() { awk "BEGIN{printf \"%.1f\", $(now) - $1}"; }

port=$("$E2E_PY" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
base="http://127.0.0.1:$port"

# The program with this server compiled in; only its own target, to keep the build short.
e2e_log "building the program for $base"
build="$E2E_TMP/build"
cmake -S "$SOURCE_DIR" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKREISELSTURM_TESTS=OFF \
    -DKREISELSTURM_UPDATE_URL="$base" >"$E2E_TMP/cmake.log" 2>&1 || e2e_fail "configure failed: $(tail -5 "$E2E_TMP/cmake.log")"
cmake --build "$build" -j2 --target Kreiselsturm >"$E2E_TMP/build.log" 2>&1 || e2e_fail "build failed: $(tail -20 "$E2E_TMP/build.log")"
built="$build/Kreiselsturm"
[ -x "$built/Kreiselsturm" ] || e2e_fail "no program file in $built"

# The server's folder: a newer version, the new "program file" and two listed files.
www="$E2E_TMP/www"
mkdir -p "$www/spielhof/wirbel" "$www/dateien"
printf 'Version: 9,999\r\n' >"$www/spielhof/wirbel/version.txt"
cat >"$www/spielhof/wirbel/Kreiselsturm.txt" <<'EOF'
#!/bin/sh
echo "started in $(pwd)" > neu_gestartet.txt
EOF
printf 'Lies mich.\n' >"$www/dateien/liesmich.txt"
printf 'GIF89a-ish' >"$www/dateien/extra.gif"
printf '[Namen]\r\nDatei1=liesmich.txt\r\nDatei2=extra.gif\r\n[URL]\r\nDatei1=%s/dateien/liesmich.txt\r\nDatei2=%s/dateien/extra.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n' \
    "$base" "$base" >"$www/spielhof/wirbel/updatedata.txt"

"$E2E_PY" -m http.server "$port" --bind 127.0.0.1 --directory "$www" >"$E2E_TMP/http.log" 2>&1 &
server=$!
E2E_PIDS+=($server)
serving() { "$E2E_PY" -c "import urllib.request as u; u.urlopen('$base/spielhof/wirbel/version.txt', timeout=1)" 2>/dev/null; }
for _ in $(seq 50); do serving && break; sleep 0.1; done
serving || e2e_fail "the loopback server did not start"

# --- The update ---
prog=$(e2e_program_folder "$built")
e2e_start "$prog"
box=$(e2e_message_box 15)
[ -n "$box" ] || e2e_fail "no question after start-up"
xwininfo -root -tree | grep -q "^ *$box \"Update\"" || e2e_fail "the box $box is not the update question"
sleep 0.5
e2e_shot "$box" "$SHOTS/update-question.png"
# Yes is the default button: Return presses it (keys reach the box with the pointer over it).
xdotool mousemove --window "$box" 20 20 && sleep 0.2 && xdotool key Return
asked=$(now)

wid=$(e2e_window 'Update\.\.\.' 10)
xdotool getwindowgeometry "$wid" | grep -q "Geometry: 449x142" || e2e_fail "update window is not 449x142: $(xdotool getwindowgeometry "$wid")"
# The success text blinks: take pictures until one shows it (the top band is not plain).
for _ in $(seq 12); do
    e2e_shot "$wid" "$SHOTS/update-window.png"
    text=$(/usr/bin/convert "$SHOTS/update-window.png" -crop 449x65+0+0 +repage -format '%[fx:standard_deviation>0.02]' info:)
    [ "$text" = 1 ] && break
    sleep 0.2
done
[ "$text" = 1 ] || e2e_fail "the update window never showed its success text"
# The track of the progress display, &H00FFC0C0, lies across the window.
track=$(/usr/bin/convert "$SHOTS/update-window.png" -crop 60x10+300+85 +repage -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:)
[ "$track" = "192 192 255" ] || e2e_fail "no progress track in the update window (colour $track)"
xdotool search --onlyvisible --name '^Kreiselsturm$' >/dev/null 2>&1 && e2e_fail "the game window is shown during the update"

status=$(e2e_wait_exit 15)
e2e_log "the program ended $(since "$asked") s after Yes, status $status"
[ "$status" = 0 ] || e2e_fail "the program did not end cleanly after the update (status $status)"

for _ in $(seq 100); do [ -f "$prog/neu_gestartet.txt" ] && break; sleep 0.1; done
[ -f "$prog/neu_gestartet.txt" ] || e2e_fail "the new program file was not started; folder: $(ls "$prog")"
grep -qx "started in $prog" "$prog/neu_gestartet.txt" || e2e_fail "the new program ran elsewhere: $(cat "$prog/neu_gestartet.txt")"
cmp -s "$prog/Kreiselsturm" "$www/spielhof/wirbel/Kreiselsturm.txt" || e2e_fail "the program file was not swapped"
[ -x "$prog/Kreiselsturm" ] || e2e_fail "the new program file is not executable"
[ ! -e "$prog/Kreiselsturm.dxe" ] || e2e_fail "Kreiselsturm.dxe is still there"
cmp -s "$prog/liesmich.txt" "$www/dateien/liesmich.txt" || e2e_fail "liesmich.txt is not in the program folder"
cmp -s "$prog/grafik/extra.gif" "$www/dateien/extra.gif" || e2e_fail "extra.gif is not in grafik/"
for gone in extra.gif updatedata.txt version.txt Version.txt; do
    [ ! -e "$prog/$gone" ] || e2e_fail "$gone was left in the program folder"
done
e2e_log "update done: program swapped and started, listed files in their folders"

# --- Start-up without a working server ---
# start_without_server WHAT: a fresh copy of the program starts to the game window, no box.
start_without_server() {
    local folder started
    folder=$(e2e_program_folder "$built")
    started=$(now)
    e2e_start "$folder"
    e2e_window Kreiselsturm 15 >/dev/null
    e2e_log "$1: the game window appeared $(since "$started") s after the start"
    [ -z "$(e2e_message_box 1)" ] || e2e_fail "$1: a message box appeared"
    kill -9 -- "-$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=""
}

kill "$server"
wait "$server" 2>/dev/null
start_without_server "server down"

# A server that accepts the connection and then never answers.
"$E2E_PY" -c "
import socket, time
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(('127.0.0.1', $port))
s.listen(8)
time.sleep(40)
" &
E2E_PIDS+=($!)
sleep 0.3
start_without_server "server silent"

e2e_log "screenshots in $SHOTS"
echo PASS
