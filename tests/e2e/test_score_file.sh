#!/usr/bin/env bash
# The real game and its score file: created empty when missing, closed after start-up and left
# alone by a run without a finished game; a bad line, a file that cannot be read, created or (not
# being a regular file) opened, or an unreadable picture ends the game at start-up within seconds
# with status 1, an error box, one short report line, and the file as it was.
source "$(dirname "$0")/lib.sh"
make_run_dir
start_display
chmod 755 "$E2E_TMP" # "nobody" must be able to reach the run folder
score="$RUN_DIR/score.txt"

# Runs the game, as "nobody" when $1 says so (root may read and write anything).
start_game_as() {
  local prefix=()
  [[ "${1:-}" == nobody && $(id -u) == 0 ]] && prefix=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  (cd "$RUN_DIR" && exec "${prefix[@]}" ./kelto >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
}

start_game_as
wait_window
sleep 0.5
[[ -f "$score" && ! -s "$score" ]] || fail "no empty score.txt after start-up"
[[ "$(ls -l "/proc/$GAME_PID/fd")" != *score.txt* ]] || fail "score.txt is held open while the game runs"
kill -TERM "$GAME_PID"
wait_exit 10
[[ -f "$score" && ! -s "$score" ]] || fail "score.txt changed by a plain run"

state() { stat -c '%F %a %i %s %Y' "$score" && { [[ ! -f "$score" || -L "$score" ]] || cksum <"$score"; }; } 2>&1
# Each case: how the file is set up | who runs the game | the report expected.
while IFS='|' read -r -u 3 setup user report; do
  rm -rf "$score"
  eval "$setup"
  before=$(state) || true
  start_game_as "$user"
  dismiss_error_box
  wait_exit 10
  [[ "$GAME_STATUS" == 1 ]] && grep -qF -- "kelto: $report" "$E2E_TMP/stderr" ||
    fail "$setup: status $GAME_STATUS, not 1 with '$report': $(head -c 1000 "$E2E_TMP/stderr")"
  [[ $(wc -l <"$E2E_TMP/stderr") == 1 && $(wc -c <"$E2E_TMP/stderr") -le 300 ]] ||
    fail "$setup: the report is not one short line: $(head -c 1000 "$E2E_TMP/stderr" | od -c)"
  [[ "$(state)" == "$before" ]] || fail "$setup: score.txt changed"
done 3<<'CASES'
printf '5\r\n12 \r\n7\r\n' >"$score"||score.txt, line 2: '12 ' is not a valid integer value
printf '3\r\n' >"$score"; chmod 222 "$score"|nobody|score.txt: Permission denied
mkdir "$score"||score.txt: not a regular file (a folder)
mkfifo "$score"||score.txt: not a regular file (a FIFO)
ln -s /dev/zero "$score"||score.txt: not a regular file (a device)
printf '%030000000d' 5 >"$score"||score.txt, line 1: the line is too long (over 4096 bytes)
printf '1\r\n\x01\x00\xff%041d\r\n' 7 >"$score"||score.txt, line 2: '\x01\x00\xFF0000000000000000000000000000000000000…' is
chmod 555 "$RUN_DIR"|nobody|score.txt: Permission denied
chmod 755 "$RUN_DIR"; : >"$score"; chmod 000 "$RUN_DIR/picture/map.tga"|nobody|cannot read picture "picture/map.tga": Permission denied
CASES
chmod 755 "$RUN_DIR"
echo ok
