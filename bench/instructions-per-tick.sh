#!/usr/bin/env bash
# Instructions one sampling tick costs, counted by callgrind (deterministic,
# unlike CPU time on a shared machine): vistrel --snapshot runs offscreen for
# a few and for many ticks, and the difference of the two totals over the
# difference of ticks is the cost of one tick (sampling, cells, images),
# start-up and the snapshot cancelling out. Offscreen images are drawn at
# device pixel ratio 1. The first ticks fill the caches of drawn texts; a
# later start (--from 12 --to 72) gives the cost once they are warm.
#
# With --back-end bar or tray Vistrel runs live on a private Xvfb (the tray
# being xfce4-panel on a private bus), so drawing into the bar and handing
# icons to the tray count too: once it has settled, the counters are zeroed,
# --seconds later dumped, and the instructions in between are divided by the
# sampling ticks callgrind saw (calls of the scheduler's group tick; a group
# ticking four times a second counts four) and by the seconds. A program
# that cannot keep up under callgrind ticks less often than --rate says:
# then only the figure per tick holds.
#
# Usage: bench/instructions-per-tick.sh [--items default|processor|...] [--back-end offscreen|bar|tray]
#            [--from A] [--to B] [--settle S] [--seconds N] [--keep DIR]
#   --items  the configurations of bench/compare-with-gkrellm.sh
#   --from, --to  offscreen: the two tick counts (2 and 12 unless given)
#   --settle, --seconds, --rate  bar and tray: the probes' length (15 s), the span's (30 s),
#            and the ticks a second of the configuration (1; 5 with the activity item)
#   --keep   leaves the profiles in DIR (offscreen: callgrind.A and callgrind.B; bench/tick-profile.py
#            DIR/callgrind.A DIR/callgrind.B prints what the ticks between them cost, by function;
#            bar and tray: callgrind.live, bench/tick-profile.py DIR/callgrind.live does the same)
# Needs valgrind and a release build (VISTREL= overrides build/release/src/vistrel).
set -euo pipefail
cd "$(dirname "$0")/.."
items=default keep= from=2 to=12 back_end=offscreen settle=15 seconds=30 rate=1
while [ $# -gt 0 ]; do
  case $1 in
    --items) items=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    --to) to=$2; shift 2 ;;
    --back-end) back_end=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --rate) rate=$2; shift 2 ;;
    *) echo "unknown argument '$1'; see the head of $0" >&2; exit 2 ;;
  esac
done
vistrel=${VISTREL:-build/release/src/vistrel}
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)"; exit 1; }
[ -x "$vistrel" ] || { echo "no vistrel at $vistrel"; exit 1; }
work=$(mktemp -d)
source bench/session.sh
trap session_cleanup EXIT
session_write_settings "$work/config" "$items"

# One live run: instructions per tick and per second over the counted span.
live() {
  session_start_display
  [ "$back_end" = tray ] && session_start_tray
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" valgrind --tool=callgrind \
    --callgrind-out-file="$work/callgrind.%p" "$vistrel" --status-bar="$back_end" >/dev/null 2>"$work/log" &
  local pid=$!; session_pids+=($pid)
  # Start-up under callgrind takes minutes on a busy machine: the span is
  # counted once a probe of --settle seconds saw the ticks of a settled
  # program (at least 80 % of --rate per second) and no start-up work.
  local probe=0 seen
  while :; do
    kill -0 $pid 2>/dev/null || { cat "$work/log" >&2; return 1; }
    callgrind_control --zero $pid >/dev/null 2>&1
    sleep "$settle"
    callgrind_control --dump=probe $pid >/dev/null 2>&1
    seen=$(python3 bench/tick-profile.py --summary "$work"/callgrind.$pid.* | awk '{print $2, $3}')
    rm -f "$work"/callgrind.$pid.*
    probe=$((probe + 1))
    awk -v seen="$seen" -v s="$settle" -v r="$rate" 'BEGIN { split(seen, f, " "); exit !(f[1] >= 0.8 * r * s && f[2] == 0) }' && break
    [ $probe -lt 20 ] || { echo "vistrel did not settle: $seen (ticks, start-up calls) in the last probe" >&2; return 1; }
  done
  callgrind_control --zero $pid >/dev/null 2>&1
  sleep "$seconds"
  callgrind_control --dump=counted $pid >/dev/null 2>&1
  local dump
  dump=$(ls "$work"/callgrind.$pid.* | head -1)
  [ -n "$keep" ] && { mkdir -p "$keep"; cp "$dump" "$keep/callgrind.live"; }
  python3 bench/tick-profile.py --summary "$dump" | awk -v items="$items" -v back_end="$back_end" -v s="$seconds" -v r="$rate" '
    { own = $1 - $4
      printf "items: %s, back end: %s, %d s counted: %d instructions, %d ticks (%d expected)\n", items, back_end, s, $1, $2, r * s
      printf "of them %d following block-device events of other processes, left out below\n", $4
      printf "per tick: %d instructions\nper second: %d instructions\n", ($2 > 0 ? own / $2 : 0), own / s }'
}

case $back_end in
  offscreen) ;;
  bar|tray) live; exit ;;
  *) echo "--back-end is offscreen, bar or tray, not '$back_end'" >&2; exit 2 ;;
esac

# Total instructions of one offscreen run of the given number of ticks.
instructions() {
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" valgrind --tool=callgrind \
    --callgrind-out-file="$work/callgrind.$1" "$vistrel" --snapshot "$work/snapshot" --ticks "$1" \
    >/dev/null 2>"$work/log.$1" || { cat "$work/log.$1" >&2; return 1; }
  awk '/^summary:/ {print $2}' "$work/callgrind.$1"
}

[ "$to" -gt "$from" ] || { echo "--to must be larger than --from" >&2; exit 2; }
few=$(instructions "$from")
many=$(instructions "$to")
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/callgrind.$from" "$work/callgrind.$to" "$keep/"
fi
awk -v a="$few" -v b="$many" -v from="$from" -v to="$to" -v items="$items" 'BEGIN {
  printf "items: %s\n%d ticks: %d instructions, %d ticks: %d\nper tick: %d instructions\n", items, from, a, to, b, (b - a) / (to - from) }'
