#!/usr/bin/env bash
# Installs what building and testing Quelp needs on a Debian 12 machine, with
# apt-get, only when something is missing. Run as root (or with sudo on PATH).
#   --window   also Qt 6 Widgets, for the window (quelp) and its tests; without
#              it the build leaves the window out and needs no display libraries
#   NAME...    extra packages (e.g. clang for the fuzz preset)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  portaudio19-dev libasound2-dev
  libhamlib-dev libhamlib-utils
  libsndfile1-dev libsoxr-dev libpng-dev nlohmann-json3-dev
)
for arg in "$@"; do
  if [ "$arg" = "--window" ]; then
    packages+=(qt6-base-dev dbus-daemon dbus-bin dbus-session-bus-common)
  else
    packages+=("$arg")
  fi
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
