#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" default
cd "$top"
ctest --preset default

# The same suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer:
# the "sanitize" test preset sets the options that make any report fail the run, and
# tests/sanitizers/lsan.supp. Then the fuzz targets, built with clang and libFuzzer,
# search for 25 s each for an input that crashes, hangs or breaks a property.
for preset in sanitize fuzz; do
    started=$SECONDS
    "$top/scripts/build.sh" "$preset"
    echo "Built the $preset preset in $((SECONDS - started)) s"
    ctest --preset "$preset"
done
