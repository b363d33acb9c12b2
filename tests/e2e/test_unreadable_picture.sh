#!/usr/bin/env bash
# A picture that exists but cannot be read ends the game at start-up with a report naming the
# file and exit status 1; a picture that is missing instead is left out and the game runs on.
# The game runs as an unprivileged user here: root could read the picture anyway.
source "$(dirname "$0")/lib.sh"
command -v setpriv >/dev/null || fail "setpriv (util-linux) is needed"
nobody=65534

start_display
make_run_dir
chmod 755 "$E2E_TMP"
for i in $(seq 1 10); do echo 0; done >"$RUN_DIR/score.txt"
chown -R "$nobody:$nobody" "$RUN_DIR"
chmod 000 "$RUN_DIR/picture/enemy.tga"

start_game_as_nobody() {
  (cd "$RUN_DIR" && exec setpriv --reuid="$nobody" --regid="$nobody" --clear-groups \
    env HOME="$RUN_DIR" ./kelto >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  GAME_PID=$!
}

start_game_as_nobody
wait_exit 30
report=$(cat "$E2E_TMP/stderr")
[[ "$GAME_STATUS" == 1 ]] || fail "unreadable picture: exit status $GAME_STATUS, expected 1 (stderr: $report)"
grep -q "picture/enemy.tga" <<<"$report" || fail "the report does not name the picture: $report"
grep -qi "permission denied" <<<"$report" || fail "the report does not give the reason: $report"
echo "report: $report"

# The same picture missing: skipped silently, the game starts and keeps running.
rm "$RUN_DIR/picture/enemy.tga"
start_game_as_nobody
wait_window
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without its enemy picture: $(cat "$E2E_TMP/stderr")"
kill -TERM "$GAME_PID"
wait_exit 10
[[ "$GAME_STATUS" == 0 ]] || fail "missing picture: exit status $GAME_STATUS after SIGTERM"
echo "ok"
