#!/usr/bin/env bash
# Instructions one sampling tick costs, counted by callgrind (deterministic,
# unlike CPU time on a shared machine): vistrel --snapshot runs offscreen for
# a few and for many ticks, and the difference of the two totals over the
# difference of ticks is the cost of one tick (sampling, cells, images),
# start-up and the snapshot cancelling out. Offscreen images are drawn at
# device pixel ratio 1. The first ticks fill the caches of drawn texts; a
# later start (--from 12 --to 72) gives the cost once they are warm.
#
# Usage: bench/instructions-per-tick.sh [--items default|processor] [--from A] [--to B] [--keep DIR]
#   --items  the configurations of bench/compare-with-gkrellm.sh
#   --from, --to  the two tick counts (2 and 12 unless given)
#   --keep   leaves both profiles in DIR (callgrind.A and callgrind.B; bench/tick-profile.py
#            DIR/callgrind.A DIR/callgrind.B prints what the ticks between them cost, by function)
# Needs valgrind and a release build (VISTREL= overrides build/release/src/vistrel).
set -euo pipefail
cd "$(dirname "$0")/.."
items=default keep= from=2 to=12
while [ $# -gt 0 ]; do
  case $1 in
    --items) items=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    --to) to=$2; shift 2 ;;
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
