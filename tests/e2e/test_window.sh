#!/usr/bin/env bash
# The real game: no window without a display, the usage; on an X display its title, score file and
# broken pictures at start-up, a window manager's close request, the files it cannot use (and
# SIGTERM while their box is up), fullscreen on wide, tall and small screens and back, and the
# buttons of a window enlarged to 1000 x 740.
source "$(dirname "$0")/lib.sh"
make_run_dir
chmod 755 "$E2E_TMP" # "nobody" must be able to reach the run folder
score="$RUN_DIR/score.txt"

# Without a display the game says so and fails, instead of running where nobody can see it.
(cd "$RUN_DIR" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./kelto 2>"$E2E_TMP/stderr") &&
  fail "the game ran without a display"
grep -q "Unable to open a window" "$E2E_TMP/stderr" || fail "no report: $(cat "$E2E_TMP/stderr")"
[[ "$("$RUN_DIR/kelto" --help)" == "usage: kelto"* ]] || fail "no usage from --help"
status=0 && "$RUN_DIR/kelto" --play 2>"$E2E_TMP/stderr" || status=$?
[[ $status == 2 ]] && grep -q '^usage: kelto' "$E2E_TMP/stderr" || fail "--play alone: status $status"

start_display
rm "$RUN_DIR/picture/player.tga" "$RUN_DIR/picture/map.tga" && mkdir "$RUN_DIR/picture/map.tga"
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\40\0' >"$RUN_DIR/picture/enemy.tga" # 2 x 2 claimed
echo GIF89a >"$RUN_DIR/picture/turret.tga"
start_game
wait_window
wait_for 3 "frame-rate title" fps_title
same "$(cat "$E2E_TMP/stderr")" "$(printf 'kelto: picture/%s; drawn without it\n' \
  "player.tga: No such file or directory" "enemy.tga: the file is shorter than its 2 x 2 picture" \
  "map.tga: not a regular file (a folder)" \
  "turret.tga: not an uncompressed true-colour TGA picture")" "the reports of bad pictures"
[[ -f "$score" && ! -s "$score" ]] || fail "no empty score.txt after start-up"
[[ "$(ls -l "/proc/$GAME_PID/fd")" != *score.txt* ]] || fail "score.txt held open by the game"
"$KELTO_XCLOSE" "$GAME_WINDOW"
expect_exit 0
[[ -f "$score" && ! -s "$score" ]] || fail "score.txt changed by a run without a finished game"
rm -r "$RUN_DIR/picture" && cp -r "$KELTO_RUN_DIR/picture" "$RUN_DIR/"

# Each case: the set-up of a file the game cannot use | who runs the game ("nobody": root may
# read and write anything) | the report expected. The game ends at start-up with an error box and
# one short report line; SIGTERM then ends it within a second with status 1, and the box (shown by
# a helper process) goes with it; the file is left as it was.
state() {
  stat -c '%F %a %i %s %Y' "$score" 2>&1 || return 0
  [[ ! -f "$score" || -L "$score" ]] || cksum <"$score"
}
while IFS='|' read -r -u 3 setup user report; do
  rm -rf "$score"
  eval "$setup"
  before=$(state)
  LAUNCH=(./kelto)
  [[ $user == nobody && $(id -u) == 0 ]] &&
    LAUNCH=(setpriv --reuid=65534 --regid=65534 --clear-groups ./kelto)
  start_game
  wait_for 10 "error box" error_box
  kill "$GAME_PID"
  timeout 1 tail -s 0.02 --pid="$GAME_PID" -f /dev/null || fail "$setup: running 1 s after SIGTERM"
  expect_exit 1
  wait_for 2 "end of the box" eval '! error_box'
  grep -qF -- "kelto: $report" "$E2E_TMP/stderr" || fail "$setup: no '$report'"
  [[ $(wc -l <"$E2E_TMP/stderr") == 1 && $(wc -c <"$E2E_TMP/stderr") -le 300 ]] ||
    fail "$setup: the report is not one short line: $(head -c 1000 "$E2E_TMP/stderr" | od -c)"
  same "$(state)" "$before" "$setup: score.txt"
done 3<<'CASES'
printf '5\r\n12 \r\n7\r\n' >"$score"||score.txt, line 2: '12 ' is not a valid integer value
printf '3\r\n' >"$score"; chmod 222 "$score"|nobody|score.txt: Permission denied
mkdir "$score"||score.txt: not a regular file (a folder)
mkfifo "$score"||score.txt: not a regular file (a FIFO)
ln -s /dev/zero "$score"||score.txt: not a regular file (a device)
printf '%030000000d' 5 >"$score"||score.txt, line 1: the line is too long (over 4096 bytes)
chmod 555 "$RUN_DIR"|nobody|score.txt: Permission denied
chmod 755 "$RUN_DIR"; : >"$score"; chmod 000 "$RUN_DIR/picture/map.tga"|nobody|cannot read pict
CASES
chmod -R u+rwX,go+rX "$RUN_DIR"
LAUNCH=(./kelto)
pass "frame-rate title, score file, bad pictures, close request; bad files refused, SIGTERM heard"

# Fullscreen, entered at start (--fullscreen, left with F11) or with Alt+Enter (both ways). The
# window it gives back is the game's window of 800 x 600 at (0, 0).
for run in "1024 768 F11" "1920 1080 alt+Return" "1280 1024 alt+Return" "640 480 F11"; do
  read -r W H key <<<"$run"
  E2E_SCREEN=${W}x${H}x24 start_display
  start_game $([[ $key == F11 ]] && echo --fullscreen)
  wait_window
  wait_for 5 "frame-rate title" fps_title # the game takes input
  [[ $key == F11 ]] || xdotool key "$key"
  fullscreen_round "$W" "$H" "$key" "0,0 800x600"
  stop_process "$GAME_PID"
done

# The label stays on its stretched rectangle (137..262 x 185..222), and a click on its lower part,
# below the unstretched button's y 180, enters the game.
start_game
wait_window
xdotool windowsize "$GAME_WINDOW" 1000 740
stretched() {
  shot "$E2E_TMP/stretched.png" 1000x740+0+0 &&
    (($(count_pixels "$E2E_TMP/stretched.png" 120x33+140+187 'r < 20') > 20))
}
wait_for 5 "label on the stretched button" stretched
click_at 200 216
wait_for 5 "game after a click on the stretched button" screen_is game
pass "fullscreen at four sizes and back; buttons of a stretched window"
