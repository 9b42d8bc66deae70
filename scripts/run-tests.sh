#!/usr/bin/env bash
# Runs the whole suite of one build directory under a private virtual X display, so the tests of
# the window-system stand-ins have a display to talk to and never touch the user's own.
set -euo pipefail
build=${1:-build}
cd "$build"
if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j "$(nproc)"
fi
exec ctest --output-on-failure -j "$(nproc)"
