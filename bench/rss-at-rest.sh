#!/usr/bin/env bash
# Resident memory of Vistrel at rest: the items a new user starts with in the
# own bar on Xvfb, from the second start on, nobody opening a menu or the
# configuration window. Prints VmRSS and the anonymous (heap) part,
# averaged over several runs, after the given seconds (default 15, past the
# 10 s after which Vistrel hands back the pages only start-up touched).
# Needs a release build (scripts/run builds one into build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
runs=${RUNS:-3}
vistrel=${VISTREL:-build/release/src/vistrel}
[ -x "$vistrel" ] || { echo "no vistrel at $vistrel"; exit 1; }

work=$(mktemp -d)
source bench/session.sh
trap session_cleanup EXIT
session_start_display

# The settings a new user has after the first start (which opens the window).
env -u NOTOPICS XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" "$vistrel" --snapshot "$work/snapshot" --ticks 1 >/dev/null 2>&1

total_rss=0
total_anon=0
for run in $(seq "$runs"); do
    XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" "$vistrel" --status-bar=bar 2>/dev/null &
    pid=$!
    sleep "$seconds"
    kill -0 $pid || { echo "vistrel did not keep running"; exit 1; }
    rss=$(awk '/^VmRSS:/ {print $2}' /proc/$pid/status)
    anon=$(awk '/^Anonymous:/ {print $2}' /proc/$pid/smaps_rollup)
    echo "run $run: VmRSS $rss kB, anonymous $anon kB"
    total_rss=$((total_rss + rss))
    total_anon=$((total_anon + anon))
    kill $pid
    wait $pid 2>/dev/null || true
done
echo "mean of $runs after $seconds s: VmRSS $((total_rss / runs)) kB, anonymous $((total_anon / runs)) kB"
