#!/usr/bin/env bash
# Instructions one sampling tick costs, counted by callgrind (deterministic,
# unlike CPU time on a shared machine): vistrel --snapshot runs offscreen for
# 12 and for 2 ticks, and the difference of the two totals over 10 is the cost
# of one tick (sampling, cells, images), start-up and the snapshot cancelling
# out. Offscreen images are drawn at device pixel ratio 1.
#
# Usage: bench/instructions-per-tick.sh [--items default|processor] [--keep DIR]
#   --items  the configurations of bench/compare-with-gkrellm.sh
#   --keep   leaves the 12-tick profile in DIR (callgrind_annotate DIR/callgrind.out)
# Needs valgrind and a release build (VISTREL= overrides build/release/src/vistrel).
set -euo pipefail
cd "$(dirname "$0")/.."
items=default keep=
while [ $# -gt 0 ]; do
  case $1 in
    --items) items=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
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

few=$(instructions 2)
many=$(instructions 12)
if [ -n "$keep" ]; then
  mkdir -p "$keep"
  cp "$work/callgrind.12" "$keep/callgrind.out"
fi
awk -v a="$few" -v b="$many" -v items="$items" 'BEGIN {
  printf "items: %s\n2 ticks: %d instructions, 12 ticks: %d\nper tick: %d instructions\n", items, a, b, (b - a) / 10 }'
