#!/usr/bin/env bash
# Non-blank lines of the code that exists only to test (tests/, test-only scripts; not the data they
# read) against those of the product (src/, tools/, bench/). Exits 1 when the ratio is above 0.35.
set -euo pipefail
cd "$(dirname "$0")/.."
code='.*\.(cpp|h|c|sh|py|cmake|js|mjs|html)$|.*/CMakeLists\.txt$'
count() {
  find "$@" -name node_modules -prune -o -type f -regextype posix-extended -regex "$code" -print0 | xargs -0 cat | grep -cv '^\s*$'
}
tests=$(($(count tests) + $(count scripts/wine-test.sh scripts/fuzz.sh scripts/test-size.sh scripts/mutants.sh)))
product=$(count src tools bench)
awk -v t="$tests" -v p="$product" 'BEGIN {
  printf "tests %d lines, product %d lines, ratio %.3f\n", t, p, t / p; exit !(t <= 0.35 * p) }' ||
  { echo "test-size: above 0.35" >&2; exit 1; }
