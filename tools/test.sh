#!/usr/bin/env bash
# Sets up, builds (debug, AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs the whole test suite, the window's tests included (on Qt's off-screen
# platform: no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --window
cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test
