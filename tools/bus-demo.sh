#!/bin/bash
# The window on a private session bus, hearing a recording played in real
# time through a private PulseAudio sink, and a logger's dbus-send fetching
# what it decoded. Needs the release build (bash tools/quickstart.sh) and the
# packages pulseaudio, pulseaudio-utils and libasound2-plugins.
#   bash tools/bus-demo.sh [RECORDING.wav]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
quelp="$root/build/release/apps/quelp/quelp"
recording="${1:-}"
for tool in pulseaudio paplay dbus-run-session dbus-send; do
    command -v "$tool" > /dev/null || { echo "bus-demo: $tool is not installed" >&2; exit 1; }
done
[[ -x "$quelp" ]] || { echo "bus-demo: build the window first: bash tools/quickstart.sh" >&2; exit 1; }

if [[ -z "${QUELP_BUS_DEMO_INNER:-}" ]]; then
    export QUELP_BUS_DEMO_INNER=1
    exec dbus-run-session -- bash "$0" "$@"
fi

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2> /dev/null; wait 2> /dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
if [[ -z "$recording" ]]; then
    recording="$work/message.wav"
    "$root/build/release/tools/cwsynth/cwsynth" --text "cq cq de dl1abc dl1abc pse k" \
        --freq 1000 --snr 20 --start 1 -o "$recording" > /dev/null 2>&1
fi

# The sink runs at the decoder's rate; the window records its monitor
# through ALSA's pulse plugin as its default input.
pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    -L "module-null-sink sink_name=quelp_demo rate=11025 channels=1" \
    -L module-native-protocol-unix > "$work/pulse.log" 2>&1 &
printf 'pcm.!default { type pulse device "quelp_demo.monitor" }\nctl.!default { type pulse }\n' \
    > "$work/asound.conf"
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/asound.conf"
sleep 2
"$quelp" > "$work/quelp.log" 2>&1 &
sleep 4
paplay -d quelp_demo "$recording"
sleep 2
dbus-send --session --print-reply --dest=org.quelp.QuelpX /QuelpX org.quelp.IQuelpX.GetRxText int32:0
