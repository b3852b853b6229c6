#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The soak: the real window scrolls a text of the field's full length (65,535
# characters) at speed level 12 for 100,000 ticks, each tick followed by a repaint,
# first plain and then built with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer. Each run prints resident memory and live heap along the way and fails
# when either grows by 1 MiB or more after tick 1,000; the sanitized run also fails on
# any leak or other report. Not part of the test run: it takes several minutes.
# Usage: scripts/soak.sh [soak options, e.g. --ticks 20000]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$top/scripts/setup.sh"
cd "$top"

export QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype

# Plain, as users run it.
[ -f build/default/build.ninja ] || cmake --preset default >/dev/null
cmake --build build/default --target soak
echo "== plain"
build/default/bench/soak "$@"

# Sanitized, in a folder of its own: the "sanitize" preset builds no benchmarks.
[ -f build/soak-sanitize/build.ninja ] ||
    cmake --preset sanitize -B build/soak-sanitize -DTICKORA_BUILD_BENCH=ON >/dev/null
cmake --build build/soak-sanitize --target soak
echo "== AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
# The quarantine keeps freed memory out of use by design, which would read as growth of
# the resident memory; without it the figures mean what they do in the plain run.
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:quarantine_size_mb=0:thread_local_quarantine_size_kb=0" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
LSAN_OPTIONS="suppressions=$top/tests/sanitizers/lsan.supp" \
    build/soak-sanitize/bench/soak "$@"
