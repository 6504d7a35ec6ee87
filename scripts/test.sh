#!/usr/bin/env bash
# Sets everything up and runs the whole test suite. Window tests run offscreen; the tests of
# the browser view run under xvfb-run. No display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
unset DISPLAY
cd build
ctest --output-on-failure -j2 "$@"
