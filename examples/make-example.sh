#!/usr/bin/env bash
# Makes examples/qso.wav, the recording the quick start decodes: a short CW
# exchange (call, answer, report, sign-off) at 25 WPM on 650 Hz, with white
# noise at 6 dB SNR in 2500 Hz, a slow drift of 3 Hz per minute and a little
# hand-keying jitter; 36 s of 16-bit mono at 11025 Hz. Deterministic: the
# same command writes the same file.
set -euo pipefail
cd "$(dirname "$0")/.."
CWSYNTH=${CWSYNTH:-build/release/tools/cwsynth/cwsynth}
if [ ! -x "$CWSYNTH" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target cwsynth
fi
"$CWSYNTH" \
  --text "cq cq de dl1abc k  dl1abc de g4xyz ur 579 bob kn  r tnx ur 599 hans 73 sk" \
  --wpm 25 --freq 650 --snr 6 --drift 3 --jitter 0.04 --start 1 --seed 73 \
  -o examples/qso.wav
