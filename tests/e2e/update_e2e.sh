#!/usr/bin/env bash
# The update in a real window, on Linux and under Wine (from a folder with non-ASCII letters):
# the update window while start-up waits for a slow server, the question, Yes, the update window,
# the program ending, the update script (under Wine update.cmd in Wine's cmd.exe) swapping the
# program file and starting the new one in the program folder, the listed files in place.
# Under Wine the script waits while the old program file is held, or gives up leaving it as it
# was. Closing the window while a file trickles in cancels the update.
#   update_e2e.sh PROGRAM_FOLDER UPDATE_PROGRAM MARKER_PROGRAM PORT [SECRET_KEY]
# UPDATE_PROGRAM asks http://127.0.0.1:PORT; MARKER_PROGRAM notes where it was started.
# Under Wine E2E_HOLDER holds a file open for some seconds (wine/hold_file.cpp). With SECRET_KEY,
# UPDATE_PROGRAM takes only updates signed with it: tools/sign-update.sh signs the server's
# folder, and then a program file that is not the signed one is refused; the program file held
# and the cancel are shown by the run without a key.
source "$(dirname "$0")/lib.sh"
PROGRAM_DIR=${1:?usage: update_e2e.sh PROGRAM_FOLDER UPDATE_PROGRAM MARKER_PROGRAM PORT}
UPDATE_PROGRAM=$2 MARKER_PROGRAM=$3 PORT=$4 KEY=${5:-}
# track SHOT: the mean colour "R G B" of the progress track (&H00FFC0C0) in a shot of the update window.
track() { /usr/bin/convert "$1" -crop 60x10+300+85 +repage -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:; }

e2e_init 95
# The server's folder: a newer version, the new program file and two listed files.
www=$E2E_TMP/www base="http://127.0.0.1:$PORT"
mkdir -p "$www/spielhof/wirbel" "$www/dateien"
printf 'Version: 9,999\r\n' >"$www/spielhof/wirbel/version.txt"
cp "$MARKER_PROGRAM" "$www/spielhof/wirbel/Kreiselsturm.txt"
printf 'Lies mich.\r\n' >"$www/dateien/liesmich.txt"
printf 'GIF89a-ish' >"$www/dateien/extra.gif"
printf '[Namen]\r\nDatei1=liesmich.txt\r\nDatei2=extra.gif\r\n[URL]\r\nDatei1=%s/dateien/liesmich.txt\r\nDatei2=%s/dateien/extra.gif\r\n[Pfad]\r\nDatei1=\r\nDatei2=\\grafik\\\r\n' \
    "$base" "$base" >"$www/spielhof/wirbel/updatedata.txt"
[ -z "$KEY" ] || "$E2E_DIR/../../tools/sign-update.sh" "$www" "$KEY" >sign.log 2>&1 || e2e_fail "signing failed: $(cat sign.log)"
"$E2E_PY" -c 'import functools, http.server, sys, time
class Slow(http.server.SimpleHTTPRequestHandler):  # the first answer for version.txt comes after 4 s
    def do_GET(self):
        if self.path.endswith("/version.txt") and not hasattr(Slow, "answered"):
            Slow.answered = time.sleep(4)
        if self.path.endswith("/langsam.bin"):  # trickles for 20 s
            self.send_response(200); self.send_header("Content-Length", "40"); self.end_headers()
            for _ in range(40): self.wfile.write(b"x"); self.wfile.flush(); time.sleep(0.5)
            return
        super().do_GET()
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), functools.partial(Slow, directory=sys.argv[2])).serve_forever()' \
    "$PORT" "$www" >http.log 2>&1 & E2E_PIDS+=($!)
e2e_poll 5 "$E2E_PY" -c "import urllib.request as u; u.urlopen('$base/dateien/liesmich.txt', timeout=1)" 2>/dev/null ||
    e2e_fail "the loopback server did not start on port $PORT: $(cat http.log)"

# answer_yes: waits for the update question and answers Yes; wid is the update window then.
answer_yes() {
    local box
    box=$(e2e_message_box 30)
    [ -n "$box" ] && xwininfo -root -tree | grep -q "^ *$box \"Update\"" || e2e_fail "no update question after start-up (box '$box')"
    sleep 0.5
    e2e_docs_shot "$box" update-question
    # Yes is the default button: Return presses it (keys reach the box with the pointer over it).
    xdotool mousemove --window "$box" 20 20 sleep 0.2 key Return
    wid=$(e2e_window 'Update\.\.\.' 15)
}
# hold SECONDS: (Wine) holds the program file of $prog open that long, from now on.
hold() {
    (cd "$prog" && exec $E2E_LAUNCH "$E2E_HOLDER" "$E2E_PROGRAM" "$1") >hold.log 2>&1 & E2E_PIDS+=($!)
    e2e_poll 15 grep -q held hold.log || e2e_fail "the holder did not hold $E2E_PROGRAM: $(cat hold.log)"
}
unchanged() { cmp -s "$prog/$E2E_PROGRAM" "$UPDATE_PROGRAM" && [ ! -e "$prog/neu_gestartet.txt" ]; }

prog=$(e2e_program_folder "$PROGRAM_DIR")
cp "$UPDATE_PROGRAM" "$prog/$E2E_PROGRAM"
holding=; e2e_wine && [ -z "$KEY" ] && holding=1
if [ -n "$holding" ]; then
    # Held longer than the script waits: it gives up, swaps and starts nothing, and lets the old
    # program be; that one still starts (below, for the update that follows).
    e2e_start "$prog"
    answer_yes
    hold 60
    [ "$(e2e_wait_exit 30)" = 0 ] || e2e_fail "the program did not end cleanly after the update"
    wait $!
    sleep 5
    unchanged && [ -e "$prog/Kreiselsturm.dxe" ] && ! e2e_box_id >/dev/null && ! xdotool search --onlyvisible --name '^Update\.\.\.$' ||
        e2e_fail "the script did not give up, or started a program, while the program file was held: $(ls "$prog")"
fi
e2e_start "$prog"
# While start-up waits for the server the player sees the update window (Linux only: Wine may
# take the four seconds to start).
if ! e2e_wine; then
    e2e_shot "$(e2e_window 'Update\.\.\.' 3)" checking.png
    ! grep -q version.txt http.log || e2e_fail "the update window came only after the check had ended"
    [ "$(track checking.png)" = "192 192 255" ] || e2e_fail "the update window is not drawn during the check"
fi
answer_yes
[ -z "$holding" ] || hold 10   # till a few seconds after the program has ended
e2e_size "$wid" 449x142
e2e_shot "$wid" update.png
e2e_docs_shot "$wid" update-window
[ "$(track update.png)" = "192 192 255" ] || e2e_fail "no progress track in the update window"
! xdotool search --onlyvisible --name '^Kreiselsturm$' >/dev/null 2>&1 || e2e_fail "the game window is shown during the update"

[ "$(e2e_wait_exit 30)" = 0 ] || e2e_fail "the program did not end cleanly after the update"
[ -z "$holding" ] || unchanged || e2e_fail "the script did not wait for the held program file"
e2e_poll 30 test -f "$prog/neu_gestartet.txt" || e2e_fail "the new program file was not started; folder: $(ls "$prog")"
expected="started in $prog"
e2e_wine && expected="started in Z:${prog//\//\\}"   # Wine shows the Linux root as drive Z:
[ "$(tr -d '\r' <"$prog/neu_gestartet.txt")" = "$expected" ] || e2e_fail "the new program ran elsewhere: $(cat "$prog/neu_gestartet.txt")"
cmp -s "$prog/$E2E_PROGRAM" "$MARKER_PROGRAM" && { e2e_wine || [ -x "$prog/$E2E_PROGRAM" ]; } ||
    e2e_fail "$E2E_PROGRAM was not replaced by the downloaded program"
cmp -s "$prog/liesmich.txt" "$www/dateien/liesmich.txt" || e2e_fail "liesmich.txt is not in the program folder"
cmp -s "$prog/grafik/extra.gif" "$www/dateien/extra.gif" || e2e_fail "extra.gif is not in grafik/"
for gone in Kreiselsturm.dxe extra.gif updatedata.txt version.txt Version.txt; do
    [ ! -e "$prog/$gone" ] || e2e_fail "$gone was left in the program folder"
done
if [ -z "$KEY" ]; then
    # Closing the update window while a file trickles in cancels the update: within 2 s the game
    # shows (or the program has ended), and nothing the update brought is left in the folder.
    sed -i 's/extra\.gif/langsam.bin/g' "$www/spielhof/wirbel/updatedata.txt"
    prog=$(e2e_program_folder "$PROGRAM_DIR")
    cp "$UPDATE_PROGRAM" "$prog/$E2E_PROGRAM"
    e2e_start "$prog"
    answer_yes
    e2e_poll 15 grep -q langsam.bin http.log || e2e_fail "langsam.bin was not asked for"
    sleep 1
    xdotool windowactivate "$wid"
    e2e_poll 5 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ]' || e2e_fail "the update window did not take the focus"
    xdotool key alt+F4
    e2e_poll 2 eval 'test -f "$E2E_TMP/exit-status" || xdotool search --onlyvisible --name "^Kreiselsturm\$" >/dev/null 2>&1' || e2e_fail "closing the update window did not end the update within 2 s"
    for gone in update.cmd Kreiselsturm.dxe updatedata.txt liesmich.txt langsam.bin langsam.bin.download; do
        [ ! -e "$prog/$gone" ] || e2e_fail "$gone was left in the program folder after the update was cancelled"
    done
else
    # A program file changed after signing: "Update fehlgeschlagen", nothing in place, the game starts.
    printf 'x' >>"$www/spielhof/wirbel/Kreiselsturm.txt"
    prog=$(e2e_program_folder "$PROGRAM_DIR") && cp "$UPDATE_PROGRAM" "$prog/$E2E_PROGRAM" && e2e_start "$prog"
    xdotool mousemove --window "$(e2e_message_box 30)" 20 20 sleep 0.2 key Return
    e2e_poll 30 eval 'xwininfo -root -tree | grep -q "\"Error\""' || e2e_fail "no error box for a program file that is not the signed one"
    box=$(xwininfo -root -tree | awk '/"Error"/ {print $1; exit}')
    xdotool mousemove --window "$box" 20 20 sleep 0.2 key Return
    e2e_window Kreiselsturm 30 >/dev/null && e2e_stop
    [ "$(ls "$prog" | grep -ciE '^(update\.cmd|Kreiselsturm\.dxe|liesmich\.txt|grafik)$')" = 0 ] && cmp -s "$prog/$E2E_PROGRAM" "$UPDATE_PROGRAM" ||
        e2e_fail "a refused update left files behind: $(ls "$prog")"
fi
e2e_log "update e2e passed in $prog"
