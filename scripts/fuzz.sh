#!/usr/bin/env bash
# Fuzzes the picture reader with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer
# for a bounded time, starting from a small corpus of pictures it writes itself. Fails on any
# crash, leak, undefined behaviour or allocation beyond 64 MB (a picture is never allowed to
# allocate more than the bytes it actually holds).
# Usage: scripts/fuzz.sh [seconds]   (default 20; the build goes to build-fuzz/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
out=${KELTO_FUZZ_DIR:-$root/build-fuzz}

compiler=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z "$compiler" ]]; then
  echo "fuzz: clang++ is needed (scripts/deps.sh test installs it)" >&2
  exit 1
fi
mkdir -p "$out/corpus" "$out/artifacts"

echo "fuzz: building the reader with $compiler"
"$compiler" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" "$root/tests/fuzz/fuzz_tga.cpp" "$root/src/MyUnitTga.cpp" "$root/src/MyUnit.cpp" \
  -lGL -o "$out/fuzz_tga"

# Seeds: valid 24- and 32-bit pictures and near misses of each rule.
seed() { printf "$2" >"$out/corpus/$1"; }
header='\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00'
seed rgb-2x2 "$header\x02\x00\x02\x00\x18\x20\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c"
seed rgba-1x2 "$header\x01\x00\x02\x00\x20\x28\x0a\x14\x1e\x28\x32\x3c\x46\x50"
seed short-data "$header\x02\x00\x02\x00\x18\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b"
seed huge-claim "$header\xff\xff\xff\xff\x20\x08\x00\x00\x00\x00\x00\x00\x00\x00"
seed run-length '\x00\x00\x0a\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x01\x00\x18\x00\x80\x01\x02\x03'
seed sixteen-bit "$header\x01\x00\x01\x00\x10\x00\x01\x02"
seed zero-width "$header\x00\x00\x04\x00\x20\x00"
seed short-header '\x00\x00\x02\x00\x00'

echo "fuzz: running for $seconds s"
# -malloc_limit_mb catches a reader that allocates the claimed image before reading it.
"$out/fuzz_tga" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 \
  -malloc_limit_mb=64 -timeout=5 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/" "$out/corpus" 2>"$out/fuzz.log" || {
  tail -n 40 "$out/fuzz.log" >&2
  echo "fuzz: FAILED (log: $out/fuzz.log, crashing input in $out/artifacts/)" >&2
  exit 1
}
grep -E "^stat::number_of_executed_units|^Done" "$out/fuzz.log" || true
echo "fuzz: no crash, leak or undefined behaviour in $seconds s"
