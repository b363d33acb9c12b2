#!/usr/bin/env bash
# Usage: check_replay.sh KELTO_REPLAY SCRIPT EXPECTED_GZ
# Plays SCRIPT and compares the printed world, byte for byte, with the gzip-compressed expected
# output; shows the first differences. Fails too when kelto-replay fails.
set -uo pipefail
"$1" <"$2" | diff <(gzip -dc "$3") - | head -n 40 >&2
