#!/usr/bin/env bash
# The real game and its score file: created empty when missing, read and closed at start-up and
# left as it was by a run without a finished game; a bad line or a file that cannot be read ends
# the game at start-up with exit status 1 and a report, and the file stays untouched.
source "$(dirname "$0")/lib.sh"
make_run_dir
start_display
# "nobody" must be able to reach the run folder.
chmod 755 "$E2E_TMP"

# Runs the game in the run folder, as "nobody" when the first argument is "nobody" (root may read
# and write anything, so permission faults need an unprivileged user).
start_game_as() {
  local prefix=()
  if [[ "${1:-}" == nobody && $(id -u) == 0 ]]; then
    prefix=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  (cd "$RUN_DIR" && exec "${prefix[@]}" ./kelto >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
}

# The game must end on its own within 10 s with status 1 and a report matching $1.
expect_start_up_failure() {
  wait_exit 10
  [[ "$GAME_STATUS" == 1 ]] || fail "exit status $GAME_STATUS, expected 1 ($(cat "$E2E_TMP/stderr"))"
  grep -qF -- "$1" "$E2E_TMP/stderr" || fail "report lacks '$1': $(cat "$E2E_TMP/stderr")"
}

score="$RUN_DIR/score.txt"

# No score file: an empty one is created, and it is not held open while the game runs.
start_game_as
wait_window
sleep 0.5
[[ -f "$score" && ! -s "$score" ]] || fail "no empty score.txt after start-up"
if ls -l "/proc/$GAME_PID/fd" | grep -q "score.txt"; then
  fail "score.txt is still open while the game runs"
fi
kill -TERM "$GAME_PID"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "exit status $GAME_STATUS after a plain run"
[[ -f "$score" && ! -s "$score" ]] || fail "score.txt changed by a plain run"

# A valid hand-edited file (Windows line ends, a negative entry, hexadecimal, an empty line,
# more than ten lines) is read and left exactly as it was.
printf ' 12\r\n-5\r\n$1F\r\n\r\n7\n1\n2\n3\n4\n5\n6\nnot read\n' >"$score"
cp "$score" "$E2E_TMP/valid.txt"
start_game_as
wait_window
sleep 0.5
kill -TERM "$GAME_PID"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "exit status $GAME_STATUS with a valid file: $(cat "$E2E_TMP/stderr")"
cmp -s "$score" "$E2E_TMP/valid.txt" || fail "a valid score.txt was changed by a plain run"

# A bad line: status 1, the conversion report, the file unchanged.
printf '5\r\n12 \r\n7\r\n' >"$score"
cp "$score" "$E2E_TMP/bad.txt"
start_game_as
expect_start_up_failure "'12 ' is not a valid integer value"
cmp -s "$score" "$E2E_TMP/bad.txt" || fail "the file with the bad line was changed"

# Binary junk in a line is just another bad line.
printf '1\n\x01\x00\xff\n' >"$score"
cp "$score" "$E2E_TMP/junk.txt"
start_game_as
expect_start_up_failure "is not a valid integer value"
cmp -s "$score" "$E2E_TMP/junk.txt" || fail "the file with binary junk was changed"

# A file that exists but cannot be read is an input/output error, and is neither replaced nor
# emptied.
printf '3\r\n' >"$score"
chmod 000 "$score"
start_game_as nobody
expect_start_up_failure "score.txt: Permission denied"
[[ "$(stat -c %a "$score")" == 0 ]] || fail "the unreadable file's mode changed"
chmod 644 "$score"
[[ "$(cat "$score")" == $'3\r' ]] || fail "the unreadable file was changed"

# A folder in the file's place.
rm "$score"
mkdir "$score"
start_game_as
expect_start_up_failure "score.txt: Is a directory"
[[ -d "$score" ]] || fail "the folder named score.txt is gone"
rmdir "$score"

# No file and a folder where none can be made.
chmod 555 "$RUN_DIR"
start_game_as nobody
expect_start_up_failure "score.txt: Permission denied"
chmod 755 "$RUN_DIR"
[[ ! -e "$score" ]] || fail "a score file appeared in a read-only folder"
echo "ok"
