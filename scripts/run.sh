#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts Tickora in the current directory, where
# it keeps its settings files.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" default
exec "$top/build/default/src/app/tickora" "$@"
