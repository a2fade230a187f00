#!/usr/bin/env bash
# Whole-process cost of Vistrel's processor item (per-processor graphs, own bar)
# next to GKrellM at one update a second, side by side under one Xvfb:
# CPU time (utime + stime) over the run, wake-ups per second (context
# switches) and resident memory. Needs a release build of vistrel
# (scripts/run builds one into build/release) and the gkrellm package.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
vistrel=${VISTREL:-build/release/src/vistrel}
command -v gkrellm >/dev/null || { echo "gkrellm is not installed (apt-get install gkrellm)"; exit 1; }
[ -x "$vistrel" ] || { echo "no vistrel at $vistrel"; exit 1; }

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

number=90
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
export DISPLAY=":$number"

# Vistrel: the processor item alone, one graph per processor.
mkdir -p "$work/config/vistrel"
cat > "$work/config/vistrel/com.zentrovo.vistrel.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
<key>PassedFirstStart</key><integer>1280</integer>
<key>MenuBarLayoutTopic-BarSuppressMainMenuIcon</key><true/>
<key>ProcessorTopic-IsActive</key><true/>
<key>ProcessorTopic-ShowIndividualCPUs</key><true/>
<key>ProcessorTopic-MenuBarConfiguration</key><array><string>QRNGraphMenuBarCell:1N</string></array>
</dict></plist>
PLIST
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" "$vistrel" --status-bar=bar &
vistrel_pid=$!

# GKrellM at one update a second.
mkdir -p "$work/home/.gkrellm2"
echo "update_HZ 1" > "$work/home/.gkrellm2/user-config"
HOME="$work/home" gkrellm >/dev/null 2>&1 &
gkrellm_pid=$!

sleep 5   # both settle after their start
kill -0 $vistrel_pid && kill -0 $gkrellm_pid || { echo "vistrel or gkrellm did not start"; exit 1; }
ticks=$(getconf CLK_TCK)
sample() { # pid -> "cpu_ticks voluntary_context_switches" (the process sleeping and waking)
    local pid=$1 stat switches
    stat=$(cat /proc/$pid/stat)
    switches=$(awk '/^voluntary_ctxt_switches/ {print $2}' /proc/$pid/status)
    # Fields after the command name: utime and stime are the 12th and 13th.
    set -- ${stat##*) }
    echo "$((${12} + ${13})) $switches"
}
read -r v_cpu0 v_cs0 < <(sample $vistrel_pid)
read -r g_cpu0 g_cs0 < <(sample $gkrellm_pid)
sleep "$seconds"
read -r v_cpu1 v_cs1 < <(sample $vistrel_pid)
read -r g_cpu1 g_cs1 < <(sample $gkrellm_pid)

report() { # name cpu0 cpu1 cs0 cs1 pid
    local rss pss
    rss=$(awk '/VmRSS/ {print $2}' /proc/$6/status)
    # Proportional: pages shared with other processes count by their share.
    pss=$(awk '/^Pss:/ {print $2}' /proc/$6/smaps_rollup)
    awk -v n="$1" -v c=$(($3 - $2)) -v s=$(($5 - $4)) -v t="$ticks" -v w="$seconds" -v r="$rss" -v p="$pss" 'BEGIN {
        printf "%-8s CPU %.3f %% of one core   wake-ups %.2f /s   resident %.1f MB (proportional %.1f MB)\n", n, 100 * c / t / w, s / w, r / 1024, p / 1024 }'
}
echo "over $seconds s on $(nproc) processors:"
report vistrel "$v_cpu0" "$v_cpu1" "$v_cs0" "$v_cs1" $vistrel_pid
report gkrellm "$g_cpu0" "$g_cpu1" "$g_cs0" "$g_cs1" $gkrellm_pid
