#!/usr/bin/env bash
# Sets up, builds (release) and runs the main job: the headless decoder on the
# bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
./build/release/apps/quelp-cli/quelp-cli decode examples/qso.wav "$@"
