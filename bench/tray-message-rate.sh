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
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null & pids+=($!)
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"
dbus-daemon --session --print-address --nofork >"$work/bus" 2>/dev/null & pids+=($!)
while [ ! -s "$work/bus" ]; do sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
export NO_AT_BRIDGE=1

panel="$work/panel/xfce4/xfconf/xfce-perchannel-xml"
mkdir -p "$panel"
cp tests/e2e/xfce4-panel.xml "$panel/xfce4-panel.xml"
XDG_CONFIG_HOME="$work/panel" /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd 2>/dev/null & pids+=($!)
XDG_CONFIG_HOME="$work/panel" xfce4-panel --disable-wm-check >/dev/null 2>&1 & pids+=($!)
until dbus-send --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true; do sleep 0.2; done

# One vistrel with its settings folder; $2 true suppresses the main-menu item.
start_vistrel() {
  local home="$work/vistrel-$1"
  mkdir -p "$home/vistrel"
  cat >"$home/vistrel/com.zentrovo.vistrel.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
<key>PassedFirstStart</key><integer>1280</integer>
<key>MenuBarLayoutTopic-BarSuppressMainMenuIcon</key><$2/>
<key>ProcessorTopic-IsActive</key><true/>
<key>ProcessorTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNGraphMenuBarCell:1N</string><string>QRNNumericMenuBarCell:T</string></array>
<key>MemoryTopic-IsActive</key><true/>
<key>MemoryTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNNumericMenuBarCell:P</string><string>QRNTextMenuBarCell:2</string></array>
</dict></plist>
PLIST
  XDG_CONFIG_HOME="$home" XDG_RUNTIME_DIR="$home" "$vistrel" --status-bar=tray 2>/dev/null & pids+=($!)
}
start_vistrel a false
start_vistrel b true
start_vistrel c true
until [ "$(dbus-send --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems 2>/dev/null | grep -c StatusNotifierItem)" -ge 7 ]; do sleep 0.5; done
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
