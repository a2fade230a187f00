#!/usr/bin/env bash
# Whole-process start-up time with hostile item layouts: a processor item
# whose settings ask for 1000 and 4000 cells, and one cell pair (label and
# graph) per processor on a machine with 1024 processors (a sysroot whose
# /proc/stat lists them). Each run is "vistrel --snapshot DIR --ticks 1"
# offscreen: launch, one sampling tick, snapshot, quit; it prints the wall
# time and the width of the processor item's image.
# Usage: bench/hostile-layout.sh [VISTREL] (default build/test/src/vistrel)
set -euo pipefail
cd "$(dirname "$0")/.."
vistrel=${1:-build/test/src/vistrel}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

mkdir -p "$work/root/proc" "$work/root/etc"
echo bench >"$work/root/etc/machine-id"
{
  echo "cpu  1000 0 1000 8000 0 0 0 0 0 0"
  for ((i = 0; i < 1024; i++)); do echo "cpu$i 1 0 1 8 0 0 0 0 0 0"; done
  echo "btime 1700000000"
} >"$work/root/proc/stat"

# settings NAME INDIVIDUAL CODE... : a settings folder with the processor item
# alone, in the host-specific file, as the configuration window writes it.
settings() {
  local name=$1 individual=$2
  shift 2
  mkdir -p "$work/$name/vistrel/ByHost"
  {
    echo '<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>'
    echo '<key>PassedFirstStart</key><integer>1280</integer>'
    echo '<key>MenuBarLayoutTopic-BarSuppressMainMenuIcon</key><true/>'
    echo '<key>MemoryTopic-IsActive</key><false/><key>ProcessorTopic-IsActive</key><true/>'
    echo "<key>ProcessorTopic-ShowIndividualCPUs</key><$individual/>"
    echo '<key>ProcessorTopic-MenuBarConfiguration</key><array>'
    for code in "$@"; do echo "<string>$code</string>"; done
    echo '</array></dict></plist>'
  } >"$work/$name/vistrel/ByHost/com.zentrovo.vistrel.bench.plist"
}
cells() { for ((i = 0; i < $1; i++)); do echo QRNNumericMenuBarCell:P; done; }
settings cells1000 false $(cells 1000)
settings cells4000 false $(cells 4000)
settings cpus1024 true QRNTextMenuBarCell:N QRNGraphMenuBarCell:1N

printf '%-10s %10s %13s\n' case seconds "item width"
for name in cells1000 cells4000 cpus1024; do
  snapshot="$work/snapshot-$name"
  start=$(date +%s%N)
  XDG_CONFIG_HOME="$work/$name" VISTREL_SYSROOT="$work/root" QT_QPA_PLATFORM=offscreen \
    "$vistrel" --snapshot "$snapshot" --ticks 1 >/dev/null 2>&1
  end=$(date +%s%N)
  # The PNG header's width field: four big-endian bytes at offset 16.
  width=$((16#$(od -An -tx1 -j16 -N4 "$snapshot"/*QRNCPUMonitorItem.png | tr -d ' \n')))
  milliseconds=$(((end - start) / 1000000))
  printf '%-10s %6d.%03d %10s px\n' "$name" $((milliseconds / 1000)) $((milliseconds % 1000)) "$width"
done
