#!/usr/bin/env bash
# Counts the D-Bus messages that tray items cause on a private session bus
# with xfce4-panel as the tray: vistrel --status-bar=tray runs seven items in
# three processes (only the processor and memory item classes exist so far:
# 3 processor, 3 memory and 1 main-menu item, all at their default rate of
# one tick a second), and dbus-monitor records the bus for SECONDS.
# Usage: bench/tray-message-rate.sh [SECONDS] (needs Xvfb, xfce4-panel, xfconfd)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
vistrel=${VISTREL:-build/test/src/vistrel}
work=$(mktemp -d)
source bench/session.sh
trap session_cleanup EXIT
session_start_display
session_start_tray

# One vistrel with its settings folder; $2 true leaves the main-menu item out.
start_vistrel() {
  session_write_settings "$work/vistrel-$1" default "$2"
  XDG_CONFIG_HOME="$work/vistrel-$1" XDG_RUNTIME_DIR="$work/vistrel-$1" "$vistrel" --status-bar=tray 2>/dev/null &
  session_pids+=($!)
}
start_vistrel a false
start_vistrel b true
start_vistrel c true
until [ "$(session_tray_items)" -ge 7 ]; do sleep 0.5; done
sleep 3

dbus-monitor --address "$DBUS_SESSION_BUS_ADDRESS" >"$work/monitor" 2>/dev/null & monitor=$!
sleep "$seconds"
kill "$monitor"; wait "$monitor" 2>/dev/null || true

headers=$(grep -E '^(signal|method call|method return|error) ' "$work/monitor" | grep -v 'member=NameAcquired\|member=NameLost')
count() { grep -c "$1" <<<"$headers" || true; }
total=$(wc -l <<<"$headers")
echo "seconds: $seconds, items: 7 (3 processor, 3 memory, 1 main menu)"
echo "NewIcon signals:             $(count 'member=NewIcon')"
echo "other item signals:          $(grep 'interface=org.kde.StatusNotifierItem' <<<"$headers" | grep -vc 'member=NewIcon' || true)"
echo "dbusmenu signals:            $(grep '^signal' <<<"$headers" | grep -c 'interface=com.canonical.dbusmenu' || true)"
echo "host calls and their answers: $((total - $(grep -c '^signal' <<<"$headers" || true)))"
grep '^method call' <<<"$headers" | grep -o 'member=[A-Za-z]*' | sort | uniq -c | sed 's/^/    /' 
echo "all messages:                $total ($(awk -v t="$total" -v s="$seconds" 'BEGIN { printf "%.1f", t / s }') per second)"
