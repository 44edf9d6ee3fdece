#!/usr/bin/env bash
# Regenerates docs/accuracy.md: builds the release programs and runs the
# accuracy table of both decoders on the synthesized corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build build/release --target quelp_accuracy -j2
build/release/bench/quelp_accuracy "$@" > docs/accuracy.md
cat docs/accuracy.md
