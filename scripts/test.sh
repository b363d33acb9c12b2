#!/usr/bin/env bash
# Builds everything and runs every test: logic, drawing and end-to-end tests (drawing and a game on
# the OpenGL ES 3 build as well), the logic tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a bounded fuzzing run of every reader of outside input.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/deps.sh" test

echo "== the size of the tests"
"$root/scripts/test-size.sh"

echo "== build"
# The drawing and game tests run on the OpenGL ES 3 build in build-gles too (label gl, e2e).
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKELTO_GLES3_BUILD="$root/build-gles" >/dev/null
cmake --build "$root/build" -j"$jobs" >/dev/null

echo "== build on OpenGL ES 3"
cmake -S "$root" -B "$root/build-gles" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELTO_GL=GLES3 >/dev/null
cmake --build "$root/build-gles" -j"$jobs" --target kelto kelto-replay kelto-gl-tests sounds \
  >/dev/null

echo "== tests"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

echo "== logic tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKELTO_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan" -j"$jobs" --target kelto-unit-tests kelto-replay >/dev/null
(cd "$root/build-asan" && ctest --output-on-failure -j"$jobs" -L unit)

echo "== the replay tool built for WebAssembly, under node"
"$root/scripts/deps.sh" wasm
emcmake cmake -S "$root" -B "$root/build-wasm" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-wasm" -j"$jobs" >/dev/null
(cd "$root/build-wasm" && ctest --output-on-failure -j"$jobs")

if [[ -x "$root/scripts/fuzz.sh" ]]; then
  echo "== fuzzing the picture, score-file, replay and sound readers"
  "$root/scripts/fuzz.sh" 10
fi

echo "== the browser build in a headless Chromium"
"$root/scripts/web.sh" --build-only
"$root/tests/web/test_web.sh" "$root/build-web" "$root/build/run"

if [[ -x "$root/scripts/wine-test.sh" ]]; then
  echo "== Windows build under Wine"
  KELTO_HOST_BUILD="$root/build" "$root/scripts/wine-test.sh"
fi
echo "== all tests passed"
