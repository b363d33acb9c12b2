#!/usr/bin/env bash
# Mutation run: plants each fault of tests/mutants.txt in turn, rebuilds, runs the fast tests and
# says whether they caught it. Not part of the test command (minutes per fault).
#   scripts/mutants.sh [--e2e] [BUILD_DIR] [PATTERN]
# --e2e also runs the end-to-end tests on a fault the fast ones missed; PATTERN keeps only the
# table's lines that contain it. A table line: FILE OLD ~> NEW, where OLD stands exactly once in
# FILE. The file is always put back, also on Ctrl+C; a run killed outright is undone by the next.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
e2e=false
[[ ${1:-} == --e2e ]] && e2e=true && shift
build=$(realpath "${1:-$root/build}")
pattern=${2:-}
saved=$build/mutant.saved # the original of the file under mutation, and its name
restore() { [[ -f $saved ]] && cat "$saved" >"$root/$(cat "$saved.name")" && rm -f "$saved"*; }
restore
trap restore EXIT
trap 'exit 130' INT TERM
fast=0 all=0 total=0
while IFS= read -r -u 3 line; do
  [[ $line =~ ^[[:space:]]*(#|$) || $line != *"$pattern"* ]] && continue
  file=${line%%[[:space:]]*}
  change=${line#"$file"}
  export OLD=$(sed 's/^[[:space:]]*//; s/[[:space:]]*~>.*//' <<<"$change")
  export NEW=$(sed 's/.*~>[[:space:]]*//' <<<"$change")
  echo "$file" >"$saved.name" && cp "$root/$file" "$saved" || exit 1
  perl -0 -i -pe 'BEGIN { ($o, $r) = map { s/\\n/\n/gr } @ENV{qw(OLD NEW)} }
    $n = s/\Q$o\E/$r/g; END { exit($n == 1 ? 0 : 3) }' "$root/$file" ||
    { echo "table: '$OLD' does not stand exactly once in $file" >&2; exit 1; }
  total=$((total + 1))
  if ! nice cmake --build "$build" -j2 >"$build/mutant.log" 2>&1; then
    verdict="does not build"
  elif ! (cd "$build" && ctest -L 'unit|gl' --stop-on-failure >>"$build/mutant.log" 2>&1); then
    verdict=caught fast=$((fast + 1)) all=$((all + 1))
  elif ! $e2e; then
    verdict=missed
  elif ! (cd "$build" && ctest -L e2e --stop-on-failure >>"$build/mutant.log" 2>&1); then
    verdict="caught by e2e" all=$((all + 1))
  else
    verdict="missed by all"
  fi
  printf '%-15s %s: %s ~> %s\n' "$verdict" "$file" "$OLD" "$NEW"
  restore
done 3<"$root/tests/mutants.txt"
echo "mutants: $total, caught by the fast tests $fast$($e2e && echo ", by all tests $all")"
nice cmake --build "$build" -j2 >"$build/mutant.log" 2>&1 # the build matches the sources again
