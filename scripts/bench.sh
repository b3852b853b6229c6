#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs the display field's benchmark and the
# window's twice: on the offscreen platform and on a virtual X server large enough for the
# presentation view at 3840 x 2160. Each run prints its
# table and its bars; the script fails when a bar is missed in any run.
# Usage: bench.sh [build-folder]   (default: the "default" preset's folder)
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$top/scripts/setup.sh"
if [ $# -gt 0 ]; then
    build_dir="$(realpath -m "$1")"
    if [ ! -f "$build_dir/build.ninja" ]; then
        cmake -S "$top" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKORA_BUILD_BENCH=ON >/dev/null
    fi
    cmake --build "$build_dir" -j2 --target fieldbench windowbench
else
    "$top/scripts/build.sh" default
    build_dir="$top/build/default"
fi

status=0
for bench in windowbench fieldbench; do
    echo "== $bench, offscreen =="
    QT_QPA_PLATFORM=offscreen "$build_dir/bench/$bench" || status=1
    echo
    echo "== $bench, X11 (Xvfb) =="
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 3840x2160x24" "$build_dir/bench/$bench" || status=1
    echo
done
exit "$status"
