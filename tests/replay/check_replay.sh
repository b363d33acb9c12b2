#!/usr/bin/env bash
# check_replay.sh SCRIPT EXPECTED_GZ COMMAND...: plays SCRIPT through the replay tool COMMAND (e.g.
# build/run/kelto-replay, or node with the WebAssembly build), compares the printed world byte for
# byte with the expected output and shows the first differences; fails when the tool does.
set -uo pipefail
"${@:3}" <"$1" | diff <(gzip -dc "$2") - | head -n 40 >&2
