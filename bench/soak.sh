#!/usr/bin/env bash
# Soak benchmark: a long run must stay flat.
#   1. kelto-replay of the sanitizer build (build-asan/) plays TICKS ticks of random input: it must
#      end with status 0 and nothing on standard error (no leak, no undefined behaviour).
#   2. The real game (build/run/kelto) on a private X display gets SECONDS of random input: the
#      movement keys, both buttons, Esc and back to the game. Its resident memory is read after each
#      act of play, and it and its peak so far are printed every 30 s; over the second half of the
#      run the peak may grow by at most 256 KiB. The run ends through "Exit".
# Usage: bench/soak.sh [TICKS [SECONDS]]   (default 1000000 600; 0 skips a part)
# KELTO_SOAK_GAME=path plays another build of the game, e.g. build-asan/run/kelto to have
# LeakSanitizer look at the real game when it ends: a leak from the game's own code fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
ticks=${1:-1000000}
seconds=${2:-600}
game=${KELTO_SOAK_GAME:-$root/build/run/kelto}
# The game gets an X server of its own: the whole run goes on under xvfb-run.
if ((seconds > 0)) && [[ -z ${KELTO_SOAK_DISPLAY:-} ]]; then
  KELTO_SOAK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" \
    "$0" "$ticks" "$seconds"
fi
# A leak found at the end of a sanitizer build's run ends it with status 23 (errors keep 1).
export LSAN_OPTIONS=exitcode=23
RANDOM=20240601
tmp=$(mktemp -d /tmp/kelto-soak.XXXXXX)
game_pid=

fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() {
  local status=$?
  [[ -z "$game_pid" ]] || kill -KILL "$game_pid" 2>/dev/null || true
  ((status != 0)) || rm -rf "$tmp"
  ((status == 0)) || echo "soak: failed; files kept in $tmp" >&2
  exit $status
}
trap cleanup EXIT

# --- 1. The world under the sanitizers --------------------------------------------------------

if ((ticks > 0)); then
  replay=$root/build-asan/run/kelto-replay
  [[ -x "$replay" ]] || fail "no $replay: cmake -S . -B build-asan -DKELTO_SANITIZE=ON first"
  # A game can be won (kelto-replay stops after the step that ends it): the next one goes on with
  # new random input (bench/random_input.awk) until all the ticks are played.
  started=$(date +%s)
  played=0
  games=0
  while ((played < ticks)); do
    games=$((games + 1))
    awk -v n=$((ticks - played)) -v seed=$games -f "$root/bench/random_input.awk" |
      { "$replay" 2>"$tmp/replay.err"; echo $? >"$tmp/replay.status"; } |
      tail -c 100000 >"$tmp/replay.tail" || true # the input's writer may outlive a won game
    status=$(cat "$tmp/replay.status")
    [[ $status -eq 0 && ! -s "$tmp/replay.err" ]] ||
      fail "replay: game $games: status $status: $(head -c 3000 "$tmp/replay.err")"
    last=$(grep '^tick ' "$tmp/replay.tail" | tail -n 1)
    played=$((played + $(cut -d' ' -f2 <<<"$last")))
  done
  echo "replay: $played ticks in $games games in $(($(date +%s) - started)) s under ASan + UBSan," \
    "no leak, no undefined behaviour"
fi

# --- 2. The real game under random X input ----------------------------------------------------

((seconds > 0)) || exit 0
mkdir -p "$tmp/run"
cp "$game" "$tmp/run/kelto"
cp -r "$root/build/run/picture" "$tmp/run/"
(cd "$tmp/run" && exec ./kelto >"$tmp/stdout" 2>"$tmp/stderr") &
game_pid=$!
for ((i = 0; ; i++)); do # its window, within 10 s
  xdotool search --onlyvisible --pid "$game_pid" >/dev/null && break
  ((i < 100)) && kill -0 "$game_pid" 2>/dev/null || fail "no game window: $(cat "$tmp/stderr")"
  sleep 0.1
done
click_at() { xdotool mousemove --sync "$1" "$2" sleep 0.1 mousedown 1 sleep 0.15 mouseup 1; }
menu() { xdotool keydown Escape sleep 0.2 keyup Escape sleep 0.3; }
sleep 0.5
click_at 160 165 # "Играть"

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status"; }
pause() { sleep "$(printf '0.%02d' $((RANDOM % ($1 - 5) + 5)))"; } # 0.05 to $1/100 s

# One random act of play; Esc leads to the menu, whose first button returns to the game.
play_once() {
  case $((RANDOM % 8)) in
  0 | 1 | 2) xdotool keydown "$(echo w a s d | cut -d' ' -f$((RANDOM % 4 + 1)))"
    pause 60
    xdotool keyup w keyup a keyup s keyup d ;;
  3) xdotool mousemove $((RANDOM % 800)) $((RANDOM % 600)) ;;
  4) xdotool mousedown 1
    pause 50
    xdotool mouseup 1 ;;
  5) xdotool mousedown 3
    pause 99
    xdotool mouseup 3 ;;
  6) xdotool keydown "$(echo w a s d | cut -d' ' -f$((RANDOM % 4 + 1)))" mousedown 1
    pause 80
    xdotool mouseup 1 keyup w keyup a keyup s keyup d ;;
  7) if ((RANDOM % 4 == 0)); then
      menu
      click_at 160 165 # "back_to_game"
    fi ;;
  esac
}

# Resident memory grows in steps over the first minutes, while the allocator's heap settles (the
# live bytes stay flat; the pages freed inside the heap stay resident), and then swings by about
# 1 MiB either way: the OpenGL driver maps and unmaps a 1 MiB buffer now and then, and the allocator
# gives back the top of its heap. Its peak rises only when the game needs more than it ever did, so
# the run is judged on the peak over its second half, from the sample nearest the middle. (The
# kernel's own peak, VmHWM, is not used: it is brought up to date only now and then.)
sample() { # every 30 s and at the end ($1)
  now=$(rss_kib)
  ((now < highest)) || highest=$now
  ((${#rss[@]} * 30 > $(date +%s) - started)) && [[ -z ${1:-} ]] || rss+=("$now") peak+=("$highest")
}
started=$(date +%s)
rss=() peak=() highest=0
while (($(date +%s) - started < seconds)); do
  sample
  play_once
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended during play: $(cat "$tmp/stderr")"
done
sample end
growth=$((peak[-1] - peak[(${#peak[@]} - 1) / 2]))
echo "game: resident memory every 30 s (KiB): ${rss[*]}"
echo "game: its peak so far (KiB):            ${peak[*]}"
echo "game: the peak grew by $growth KiB over the second half of $seconds s"
menu
click_at 160 285 # "Exit"
for ((i = 0; i < 600; i++)); do # its end, within 60 s
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
! kill -0 "$game_pid" 2>/dev/null || fail "the game did not end after Exit"
status=0
wait "$game_pid" || status=$?
game_pid=
if [[ $status -eq 23 ]]; then
  # LeakSanitizer spoke. What the libraries keep on their own (D-Bus, blocks that only a driver
  # unloaded at exit still pointed to) is listed; a block allocated by the game's own code or by
  # the font libraries its glyph source drives fails the run.
  grep -E 'leak of|^ +#1 ' "$tmp/stderr"
  ours=$(awk -v src="$root/src/" '/leak of/ { n += found; found = 0 }
    /^ +#[0-9]+ / && (index($0, src) || /libfontconfig|libfreetype/) { found = 1 }
    END { print n + found }' "$tmp/stderr")
  ((ours == 0)) || fail "game: $ours leaks from the game's code or its font libraries"
else
  [[ $status -eq 0 && ! -s "$tmp/stderr" ]] ||
    fail "game: status $status: $(head -c 3000 "$tmp/stderr")"
fi
((seconds < 120 || growth <= 256)) || fail "game: the peak of its memory grew by more than 256 KiB"
echo "soak: flat"
