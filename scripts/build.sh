#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (once) and builds a CMake preset; an up-to-date build does nothing.
# Usage: build.sh [preset]   (default: "default")
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
preset="${1:-default}"
cd "$top"
binary_dir="build/$preset"
if [ ! -f "$binary_dir/build.ninja" ]; then
    cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset"
