#!/usr/bin/env bash
# Fuzzes every reader of outside input with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer for a bounded time each: the picture reader, the score-file reader
# and the replay script reader, each starting from a small corpus of the valid and invalid inputs
# the tests use. Fails on any crash, leak, undefined behaviour, broken answer (each target checks
# its own) or allocation beyond 64 MB (a picture may never allocate more than the bytes it holds).
# Usage: scripts/fuzz.sh [seconds per reader]   (default 10; the build goes to build-fuzz/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
out=${KELTO_FUZZ_DIR:-$root/build-fuzz}

compiler=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z "$compiler" ]]; then
  echo "fuzz: clang++ is needed (scripts/deps.sh test installs it)" >&2
  exit 1
fi
rm -rf "$out/corpus" "$out/obj"
mkdir -p "$out/corpus"/{tga,score,replay} "$out/obj" "$out/artifacts"
flags=(-std=c++20 -g -O1 -fno-sanitize-recover=all -ffp-contract=off -I"$root/src")

echo "fuzz: building the readers with $compiler"
core=(MyUnit.cpp MyUnitTga.cpp Platform.cpp OGLWnd.cpp game/scenes/ScoreFile.cpp
  $(cd "$root/src" && echo game/{model,shared,units,world,replay}/*.cpp))
for source in "${core[@]}"; do
  "$compiler" "${flags[@]}" -fsanitize=fuzzer-no-link,address,undefined -c "$root/src/$source" \
    -o "$out/obj/${source//\//_}.o" &
  (($(jobs -rp | wc -l) < $(nproc))) || wait -n
done
wait
for reader in tga score replay; do
  "$compiler" "${flags[@]}" -fsanitize=fuzzer,address,undefined "$root/tests/fuzz/fuzz_$reader.cpp" \
    "$out"/obj/*.o -lGL -o "$out/fuzz_$reader"
done

# Seeds: valid 24- and 32-bit pictures and near misses of each rule.
seed() { printf "$3" >"$out/corpus/$1/$2"; }
header='\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00'
seed tga rgb-2x2 "$header\x02\x00\x02\x00\x18\x20\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c"
seed tga rgba-1x2 "$header\x01\x00\x02\x00\x20\x28\x0a\x14\x1e\x28\x32\x3c\x46\x50"
seed tga short-data "$header\x02\x00\x02\x00\x18\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b"
seed tga huge-claim "$header\xff\xff\xff\xff\x20\x08\x00\x00\x00\x00\x00\x00\x00\x00"
seed tga run-length '\x00\x00\x0a\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x01\x00\x18\x00\x80\x01\x02\x03'
seed tga sixteen-bit "$header\x01\x00\x01\x00\x10\x00\x01\x02"
seed tga zero-width "$header\x00\x00\x04\x00\x20\x00"
seed tga short-header '\x00\x00\x02\x00\x00'
# Score files: the lines the score tests read, good and bad, and a line too long.
seed score table '5\n\n7\n3\r\n-5\r\n-2147483648\r\n2147483647\r\n 12\n$1F\n0x1f\nx10\n+7\n-x10\n'
seed score bad '12 \nabc\n$\n2147483648\n0x\n$-1\n$80000000\n1\r\n\x01\x00\xff00000000000000000000000000000000000000000\r\n'
printf '%04097d\r\n' 5 >"$out/corpus/score/too-long"
# Replay scripts: the start of each regression script, and bad lines.
for script in "$root"/tests/replay/*.txt; do head -n 40 "$script" >"$out/corpus/replay/${script##*/}"; done
seed replay bad '400 300 0 0 87,68\n400 300 1\n400 300 2 0 -\n70000 0 0 0 -\n1 2 0 0 87,,68\n1 2 0 0 256\n'

for run in tga:4096 score:16384 replay:4096; do # room for score lines beyond their limit
  reader=${run%:*}
  echo "fuzz: the $reader reader for $seconds s"
  "$out/fuzz_$reader" -max_total_time="$seconds" -max_len="${run#*:}" -rss_limit_mb=1024 \
    -malloc_limit_mb=64 -timeout=5 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/$reader-" "$out/corpus/$reader" 2>"$out/fuzz-$reader.log" || {
    tail -n 40 "$out/fuzz-$reader.log" >&2
    echo "fuzz: FAILED (log: $out/fuzz-$reader.log, input in $out/artifacts/)" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units" "$out/fuzz-$reader.log" || true
done
echo "fuzz: no crash, leak, undefined behaviour or broken answer in $seconds s per reader"
