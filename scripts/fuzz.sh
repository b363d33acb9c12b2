#!/usr/bin/env bash
# Fuzzes the picture, score-file, replay-script and sound-effect readers with libFuzzer under AddressSanitizer
# and UndefinedBehaviorSanitizer for a bounded time each, from tests/fuzz/corpus and the replay
# scripts. Fails on any crash, leak, undefined behaviour, broken answer (each target checks its
# own) or allocation beyond 64 MB (a picture may never allocate more than the bytes it holds).
# Usage: scripts/fuzz.sh [seconds per reader]   (default 10; the build goes to build-fuzz/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
out=${KELTO_FUZZ_DIR:-$root/build-fuzz}

echo "fuzz: building the readers with clang"
CC=clang CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELTO_SANITIZE=ON -DKELTO_FUZZ=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$out" -j"$(nproc)" --target kelto-fuzz-{tga,score,replay,wav} >/dev/null
rm -rf "$out/corpus"
mkdir -p "$out"/corpus/{tga,score,replay,wav} "$out/artifacts"
cp "$root"/tests/replay/*.txt "$out/corpus/replay/" # their starts: the fuzzer cuts them at 1 KB

for run in tga:4096 score:16384 replay:1024 wav:4096; do # room for score lines beyond their limit
  reader=${run%:*}
  echo "fuzz: the $reader reader for $seconds s"
  "$out/tests/kelto-fuzz-$reader" -max_total_time="$seconds" -max_len="${run#*:}" -timeout=5 \
    -rss_limit_mb=1024 -malloc_limit_mb=64 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$reader-" "$out/corpus/$reader" \
    "$root/tests/fuzz/corpus/$reader" 2>"$out/fuzz-$reader.log" || {
    tail -n 40 "$out/fuzz-$reader.log" >&2
    echo "fuzz: FAILED (log: $out/fuzz-$reader.log, input in $out/artifacts/)" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units" "$out/fuzz-$reader.log"
done
echo "fuzz: no crash, leak, undefined behaviour or broken answer in $seconds s per reader"
