#!/usr/bin/env bash
# A client's call starts the registered program through bus activation, and
# the program ends when its last client has gone; unregistering removes the
# activation file. Usage: activation.sh QUELP_PROGRAM
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data QT_QPA_PLATFORM=offscreen
cd "$home"
service=$XDG_DATA_HOME/dbus-1/services/org.quelp.QuelpX.service

"$program" /REGSERVER
grep -qx "Exec=$program /Automation" "$service"
# The bus reads the activation files when it starts.
dbus-run-session -- bash -c '
  set -euo pipefail
  reply=$(dbus-send --session --print-reply --reply-timeout=30000 --dest=org.quelp.QuelpX \
          /QuelpX org.quelp.IQuelpX.GetInterfaceOptions)
  grep -q "int32 1" <<<"$reply"
  for _ in $(seq 100); do
    owner=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.quelp.QuelpX)
    grep -q "boolean false" <<<"$owner" && exit 0
    sleep 0.1
  done
  echo "the program did not end with its last client" >&2
  exit 1
' 2> >(grep -v "fd limit" >&2)
"$program" -unregserver
test ! -e "$service"
