#!/usr/bin/env bash
# Mutation run, not part of the test command (a minute or more per fault): plants each fault of
# the table in turn, rebuilds and runs the fast tests, and with --e2e the end-to-end ones on a fault
# those missed. A table line: FILE OLD ~> NEW, OLD standing exactly once in FILE (⏎: a line
# break). The file is put back after each fault, also on Ctrl+C; a run killed outright, by the next.
#   scripts/mutants.sh [--e2e] [BUILD_DIR [TABLE [PATTERN: only the table's lines holding it]]]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
e2e=false && [[ ${1:-} == --e2e ]] && e2e=true && shift
build=$(realpath "${1:-$root/build}") table=$(realpath "${2:-$root/tests/mutants.txt}") only=${3:-}
saved=$build/mutant.saved # the original of the file under mutation; its name in mutant.saved.name
restore() { [[ -f $saved ]] && cat "$saved" >"$root/$(cat "$saved.name")" && rm -f "$saved"*; }
restore
trap restore EXIT
trap 'exit 130' INT TERM
fast=0 all=0 total=0
run() { (cd "$build" && ctest -L "$1" --stop-on-failure >>"$build/mutant.log" 2>&1); }
while IFS= read -r -u 3 line; do
  [[ $line =~ ^[[:space:]]*(#|$) || $line != *"$only"* ]] && continue
  file=${line%%[[:space:]]*}
  export OLD=$(sed 's/^[^[:space:]]*[[:space:]]*//; s/[[:space:]]*~>.*//' <<<"$line")
  export NEW=$(sed 's/.*~>[[:space:]]*//' <<<"$line")
  echo "$file" >"$saved.name" && cp "$root/$file" "$saved" || exit 1
  perl -0 -i -pe 'BEGIN { ($o, $r) = map { s/⏎/\n/gr } @ENV{qw(OLD NEW)} }
    $n = s/\Q$o\E/$r/g; END { exit($n != 1) }' "$root/$file" ||
    { echo "table: '$OLD' does not stand exactly once in $file" >&2; exit 1; }
  total=$((total + 1)) verdict=missed$($e2e && echo " by all")
  if ! nice cmake --build "$build" -j2 >"$build/mutant.log" 2>&1; then
    verdict="does not build"
  elif ! run 'unit|gl'; then
    verdict=caught fast=$((fast + 1)) all=$((all + 1))
  elif $e2e && ! run e2e; then
    verdict="caught by e2e" all=$((all + 1))
  fi
  printf '%-15s %s: %s ~> %s\n' "$verdict" "$file" "$OLD" "$NEW"
  restore
done 3<"$table"
echo "mutants: $total, caught by the fast tests: $fast$($e2e && echo ", by all tests: $all")"
nice cmake --build "$build" -j2 >/dev/null 2>&1 # the build matches the sources again
