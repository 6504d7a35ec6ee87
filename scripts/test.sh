#!/usr/bin/env bash
# Sets everything up and runs the whole test suite. Window tests run offscreen; the tests of
# the browser view run under xvfb-run. No display is needed.
# Usage: scripts/test.sh [--sanitize] [ctest options]
#   --sanitize   builds with AddressSanitizer and UndefinedBehaviorSanitizer into
#                build-sanitize/ and runs the suite there; any report fails its test
#                (see tests/CMakeLists.txt for the browser tests).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
mode=--tests
if [ "${1:-}" = "--sanitize" ]; then
    shift
    build=build-sanitize
    mode=--sanitize
fi
scripts/setup.sh "$mode"
unset DISPLAY
cd "$build"
ctest --output-on-failure -j2 "$@"
