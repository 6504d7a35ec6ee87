#!/usr/bin/env bash
# Sets everything up and starts Trovas.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the window on. Start Trovas on a virtual one with:" >&2
    echo "  xvfb-run -a build/trovas" >&2
    exit 1
fi
exec build/trovas
