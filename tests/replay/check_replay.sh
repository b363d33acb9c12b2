#!/usr/bin/env bash
# check_replay.sh KELTO_REPLAY SCRIPT EXPECTED_GZ: plays SCRIPT, compares the printed world byte
# for byte with the expected output and shows the first differences; fails when kelto-replay does.
set -uo pipefail
"$1" <"$2" | diff <(gzip -dc "$3") - | head -n 40 >&2
