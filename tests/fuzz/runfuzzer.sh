#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one libFuzzer target for the test suite and prints only its summary: executions,
# speed, coverage and new inputs. The whole output stays in the log; on a failure its
# end is printed too, with the input that failed.
# Usage: runfuzzer.sh <log file> <fuzzer> [libFuzzer options and corpus folders...]
set -uo pipefail
log="$1"
shift
"$@" >"$log" 2>&1
status=$?
grep -E '^(stat::|Done )' "$log"
if [ "$status" -ne 0 ]; then
    echo "The fuzzer failed (exit status $status); the end of $log:"
    tail -n 60 "$log"
fi
exit "$status"
