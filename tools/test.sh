#!/usr/bin/env bash
# Sets up, builds (debug, AddressSanitizer + UndefinedBehaviorSanitizer) and
# runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test
