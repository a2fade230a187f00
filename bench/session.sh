# Shared by the whole-process measurements in bench/ (sourced, not run): a
# private X display, optionally a session bus with xfce4-panel as the tray,
# and Vistrel settings for the configurations the measurements compare.
# The sourcing script sets "work" to an empty temporary folder first; every
# process started here is ended by session_cleanup.

session_pids=()

session_cleanup() {
  local pid
  for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}

# Xvfb on a free display; exports DISPLAY.
session_start_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null & session_pids+=($!)
  while [ ! -s "$work/display" ]; do sleep 0.1; done
  exec 3>&-
  export DISPLAY=":$(head -1 "$work/display")"
}

# A private session bus with xfce4-panel as the StatusNotifierItem host, laid
# out as the end-to-end tests lay it out; exports DBUS_SESSION_BUS_ADDRESS and
# sets tray_host_pid.
session_start_tray() {
  dbus-daemon --session --print-address --nofork >"$work/bus" 2>/dev/null & session_pids+=($!)
  while [ ! -s "$work/bus" ]; do sleep 0.1; done
  export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
  export NO_AT_BRIDGE=1
  local panel="$work/panel/xfce4/xfconf/xfce-perchannel-xml"
  mkdir -p "$panel"
  cp tests/e2e/xfce4-panel.xml "$panel/xfce4-panel.xml"
  XDG_CONFIG_HOME="$work/panel" /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd 2>/dev/null & session_pids+=($!)
  XDG_CONFIG_HOME="$work/panel" xfce4-panel --disable-wm-check >/dev/null 2>&1 & session_pids+=($!)
  local panel_pid=$!
  until dbus-send --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true; do
    sleep 0.2
  done
  # The tray itself is a plug-in process of the panel: the host whose work Vistrel's icons cause.
  tray_host_pid=$(pgrep -P "$panel_pid" | head -1)
  tray_host_pid=${tray_host_pid:-$panel_pid}
}

# The number of items the tray lists.
session_tray_items() {
  dbus-send --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems 2>/dev/null | grep -c StatusNotifierItem || true
}

# Writes Vistrel's settings for a configuration into CONFIG_HOME/vistrel:
#   default    the first-start defaults: processor (text, graph, percentage),
#              memory (text, pie, two-line text) and the main-menu item;
#   processor  the processor item alone, one graph per processor;
#   storage    the network ones plus the disk item (the disks named, one per
#              line, in BENCH_DISKS, as the disk page names them) and the
#              volume item on "/";
#   all        storage plus the activity item, with a lamp for each of those
#              disks and for eth0;
#   activity   the activity item alone (with the main-menu item), lamps as in all.
# A third argument "true" leaves the main-menu item out.
session_write_settings() {
  local home=$1 configuration=$2 suppress_main_menu=${3:-false} keys
  case $configuration in
    default) keys='<key>ProcessorTopic-IsActive</key><true/>
<key>ProcessorTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNGraphMenuBarCell:1N</string><string>QRNNumericMenuBarCell:T</string></array>
<key>MemoryTopic-IsActive</key><true/>
<key>MemoryTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNNumericMenuBarCell:P</string><string>QRNTextMenuBarCell:2</string></array>' ;;
    network) keys='<key>ProcessorTopic-IsActive</key><true/>
<key>ProcessorTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNGraphMenuBarCell:1N</string><string>QRNNumericMenuBarCell:T</string></array>
<key>MemoryTopic-IsActive</key><true/>
<key>MemoryTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:V</string><string>QRNNumericMenuBarCell:P</string><string>QRNTextMenuBarCell:2</string></array>
<key>NetworkTopic-IsActive</key><true/>
<key>NetworkTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:2</string><string>QRNGraphMenuBarCell:2O</string></array>' ;;
    storage)
      [ -n "${BENCH_DISKS:-}" ] || { echo "storage needs BENCH_DISKS: the disks as the disk page names them, one per line" >&2; return 1; }
      session_write_settings "$home" network "$suppress_main_menu" || return 1
      local disks='' disk
      while IFS= read -r disk; do disks+="<string>$disk</string>"; done <<<"$BENCH_DISKS"
      # The disks and volumes an item watches are settings of this machine.
      mkdir -p "$home/vistrel/ByHost"
      sed -e "s#</dict></plist>#<key>DiskTopic-IsActive</key><true/>\
<key>DiskTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:2</string><string>QRNGraphMenuBarCell:2O</string></array>\
<key>DiskTopic-MonitoredDisks</key><array>$disks</array>\
<key>FileSystemTopic-IsActive</key><true/>\
<key>FileSystemTopic-MenuBarConfiguration</key><array><string>QRNTextMenuBarCell:2</string></array>\
<key>FileSystemTopic-MonitoredPaths</key><array><string>/</string></array>\
</dict></plist>#" "$home/vistrel/com.zentrovo.vistrel.plist" \
        >"$(session_host_settings "$home")"
      return ;;
    all)
      session_write_settings "$home" storage "$suppress_main_menu" || return 1
      session_add_activity_item "$home"
      return ;;
    activity) keys='' ;;
    processor) suppress_main_menu=true
      keys='<key>ProcessorTopic-IsActive</key><true/>
<key>ProcessorTopic-ShowIndividualCPUs</key><true/>
<key>ProcessorTopic-MenuBarConfiguration</key><array><string>QRNGraphMenuBarCell:1N</string></array>' ;;
    *) echo "unknown configuration '$configuration' (default, network, storage, all, activity or processor)" >&2; return 1 ;;
  esac
  mkdir -p "$home/vistrel"
  cat >"$home/vistrel/com.zentrovo.vistrel.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
<key>PassedFirstStart</key><integer>1280</integer>
<key>MenuBarLayoutTopic-BarSuppressMainMenuIcon</key><$suppress_main_menu/>
$keys
</dict></plist>
PLIST
  if [ "$configuration" = activity ]; then
    mkdir -p "$home/vistrel/ByHost"
    cp "$home/vistrel/com.zentrovo.vistrel.plist" "$(session_host_settings "$home")"
    session_add_activity_item "$home"
  fi
}

# The settings file of this machine.
session_host_settings() {
  echo "$1/vistrel/ByHost/com.zentrovo.vistrel.$(cat /etc/machine-id 2>/dev/null || echo localhost).plist"
}

# Turns the activity item on in CONFIG_HOME's settings of this machine, with a
# lamp for each disk of BENCH_DISKS and for eth0.
session_add_activity_item() {
  [ -n "${BENCH_DISKS:-}" ] || { echo "the activity item needs BENCH_DISKS: the disks as the disk page names them, one per line" >&2; return 1; }
  local lamps='' disk
  while IFS= read -r disk; do
    lamps+="<dict><key>Identification</key><string>$disk</string><key>TriState</key><true/></dict>"
  done <<<"$BENCH_DISKS"
  sed -i -e "s#</dict></plist>#<key>ActivityTopic-IsActive</key><true/>\
<key>ActivityTopic-MenuBarConfiguration</key><array/>\
<key>ActivityTopic-MonitoredDisks</key><array>$lamps</array>\
<key>ActivityTopic-MonitoredNetInterfaces</key><array><dict><key>Identification</key><string>eth0</string><key>TriState</key><true/></dict></array>\
</dict></plist>#" "$(session_host_settings "$1")"
}
