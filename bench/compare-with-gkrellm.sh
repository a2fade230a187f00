#!/usr/bin/env bash
# Whole-process cost of Vistrel next to GKrellM at one update a second, both
# running side by side on one private X display, so that what else runs on
# the machine weighs on both alike: CPU time over the run (all threads, from
# the scheduler's nanosecond counts), wake-ups per second (voluntary context
# switches of all threads; the main thread's in parentheses) and resident
# memory. Compare the ratio more than the absolute figures on a busy machine.
#
# Usage: bench/compare-with-gkrellm.sh [--items default|network|storage|all|activity|processor]
#            [--back-end bar|tray] [--seconds N] [--runs N] [--settle S] [--floor]
#   --items     default: the first-start items (processor: text, graph,
#               percentage; memory: text, pie, two-line text; main menu);
#               network: those and the network item (rates, opposed graph)
#               storage: those and the disk and volume items (BENCH_DISKS
#               names the disks, one per line, as the disk page shows them)
#               all: storage and the activity item (lamps for those disks, eth0)
#               activity: the activity item alone, lamps as in all (what its
#               four ticks a second cost next to the floor's)
#               processor: the processor item alone, one graph per processor
#   --back-end  bar: Vistrel's own bar; tray: StatusNotifierItems shown by
#               xfce4-panel on a private session bus (the CPU of its tray
#               plug-in, which reads and draws the icons, is listed too)
#   --runs      each run starts everything afresh; the last line is the median
#   --floor     also runs bench/floor/wake-up-floor (built here with the
#               system's compiler): a bare QApplication with one small window
#               that wakes four times a second and reads what the activity
#               lamps read (BENCH_FLOOR_FILES, else eth0's packet counters and
#               the stat file of vda, sda or nvme0n1), and nothing more: what
#               four wake-ups a second cost any Qt program on this machine
#   --settle    seconds between the start and the counted span (15): start-up
#               work stays out of it, including the one release of start-up
#               pages Vistrel makes ten seconds after it starts (a read of
#               /proc/self/smaps and the page faults that follow)
# Needs a release build (scripts/run builds build/release; VISTREL= overrides)
# and the gkrellm package.
set -euo pipefail
cd "$(dirname "$0")/.."
items=default back_end=bar seconds=120 runs=1 settle=15 floor=false
while [ $# -gt 0 ]; do
  case $1 in
    --items) items=$2; shift 2 ;;
    --back-end) back_end=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    --floor) floor=true; shift ;;
    *) echo "unknown argument '$1'; see the head of $0" >&2; exit 2 ;;
  esac
done
case $back_end in bar|tray) ;; *) echo "--back-end is bar or tray, not '$back_end'" >&2; exit 2 ;; esac
vistrel=${VISTREL:-build/release/src/vistrel}
command -v gkrellm >/dev/null || { echo "gkrellm is not installed (apt-get install gkrellm)"; exit 1; }
[ -x "$vistrel" ] || { echo "no vistrel at $vistrel"; exit 1; }
source bench/session.sh

if $floor; then
  floor_program=$(mktemp)
  trap 'rm -f "$floor_program"' EXIT
  # shellcheck disable=SC2046
  c++ -std=c++20 -O2 -fPIC bench/floor/wake-up-floor.cpp -o "$floor_program" $(pkg-config --cflags --libs Qt6Widgets)
  if [ -z "${BENCH_FLOOR_FILES:-}" ]; then
    BENCH_FLOOR_FILES="/sys/class/net/eth0/statistics/rx_packets /sys/class/net/eth0/statistics/tx_packets"
    for disk in vda sda nvme0n1; do
      [ -e "/sys/block/$disk/stat" ] && { BENCH_FLOOR_FILES+=" /sys/block/$disk/stat"; break; }
    done
  fi
fi

# "tid cpu_ns voluntary_switches" for every thread of the process.
sample() {
  local task
  for task in /proc/$1/task/*; do
    echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat" 2>/dev/null || echo 0)" \
      "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status" 2>/dev/null || echo 0)"
  done
}

# Differences between two samples of a process over the run, as
# "cpu_percent wakeups_per_s main_thread_wakeups_per_s resident_MB".
# Threads started during the run count from zero; threads that ended are lost.
measure() { # pid before after
  awk -v pid="$1" -v s="$seconds" -v rss="$(awk '/VmRSS/ {print $2}' /proc/$1/status)" '
    FNR == NR { cpu[$1] = $2; cs[$1] = $3; next }
    { c += $2 - cpu[$1]; w += $3 - cs[$1]; if ($1 == pid) main = $3 - cs[$1] }
    END { printf "%.3f %.2f %.2f %.1f\n", 100 * c / 1e9 / s, w / s, main / s, rss / 1024 }' "$2" "$3"
}

one_run() { # -> "vistrel: cpu wake main rss | gkrellm: ... [| panel: ...] [| floor: ...]"
  work=$(mktemp -d)
  trap session_cleanup EXIT   # one_run runs in its own subshell
  session_pids=()
  session_start_display
  [ "$back_end" = tray ] && session_start_tray
  session_write_settings "$work/vistrel" "$items"
  XDG_CONFIG_HOME="$work/vistrel" XDG_RUNTIME_DIR="$work/vistrel" "$vistrel" --status-bar="$back_end" 2>"$work/vistrel.log" &
  local vistrel_pid=$!; session_pids+=($vistrel_pid)
  mkdir -p "$work/home/.gkrellm2"
  echo "update_HZ 1" >"$work/home/.gkrellm2/user-config"
  HOME="$work/home" gkrellm >/dev/null 2>&1 &
  local gkrellm_pid=$!; session_pids+=($gkrellm_pid)
  local floor_pid=
  if $floor; then
    # shellcheck disable=SC2086
    "$floor_program" 250 $BENCH_FLOOR_FILES >/dev/null 2>&1 &
    floor_pid=$!; session_pids+=($floor_pid)
  fi

  sleep "$settle"   # both settle after their start (and the tray shows the items)
  if ! kill -0 $vistrel_pid 2>/dev/null; then
    echo "vistrel ended during the settle; its last messages:" >&2
    tail -n 20 "$work/vistrel.log" >&2
    return 1
  fi
  kill -0 $gkrellm_pid 2>/dev/null || { echo "gkrellm ended during the settle" >&2; return 1; }
  if [ "$back_end" = tray ] && [ "$(session_tray_items)" -lt 1 ]; then echo "the tray shows no item" >&2; return 1; fi
  local pids=($vistrel_pid $gkrellm_pid) pid
  [ "$back_end" = tray ] && pids+=($tray_host_pid)
  [ -n "$floor_pid" ] && pids+=($floor_pid)
  for pid in "${pids[@]}"; do sample $pid >"$work/before-$pid"; done
  sleep "$seconds"
  for pid in "${pids[@]}"; do sample $pid >"$work/after-$pid"; done
  for pid in "${pids[@]}"; do measure $pid "$work/before-$pid" "$work/after-$pid"; done | paste -sd' '
}

echo "items: $items, back end: $back_end, $runs run(s) of $seconds s, $(nproc) processors," \
  "load average at start $(cut -d' ' -f1 /proc/loadavg)"
header="run   vistrel: CPU %  wake-ups/s (main)  RSS MB  |  gkrellm: CPU %  wake-ups/s (main)  RSS MB  |  CPU ratio"
[ "$back_end" = tray ] && header+="  |  tray host: CPU %"
$floor && header+="  |  floor: CPU %  wake-ups/s"
echo "$header"
format='%-5s %15.3f %11.2f (%4.2f) %7.1f  | %15.3f %11.2f (%4.2f) %7.1f  | %10.2f'
# The tray host's and the floor program's columns of a result, when they were measured.
optional_columns() { # measured values: four per process, Vistrel and GKrellM first
  local values=("$@") next=8
  [ "$back_end" = tray ] && { printf '  | %17.3f' "${values[8]}"; next=12; }
  if $floor; then printf '  | %12.3f %11.2f' "${values[$next]}" "${values[$((next + 1))]}"; fi
}
results=()
for run in $(seq "$runs"); do
  # A start that fails (GKrellM now and then quits at once on a fresh
  # display) is tried again, twice at most.
  r=()
  for attempt in 1 2 3; do
    read -r -a r < <(one_run) && break
    echo "run $run, attempt $attempt failed" >&2
  done
  [ ${#r[@]} -gt 0 ] || { echo "run $run failed three times" >&2; exit 1; }
  ratio=$(awk -v v="${r[0]}" -v g="${r[4]}" 'BEGIN { printf "%.3f", (g > 0 ? v / g : 0) }')
  results+=("${r[*]} $ratio")
  echo "$(printf "$format" "$run" "${r[@]:0:8}" "$ratio")$(optional_columns "${r[@]}")"
done
if [ "$runs" -gt 1 ]; then
  # The median of every column on its own.
  columns=$(wc -w <<<"${results[0]}")
  median=()
  for c in $(seq "$columns"); do
    median+=("$(printf '%s\n' "${results[@]}" | awk -v c="$c" '{print $c}' | sort -g |
      awk '{v[NR] = $1} END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')")
  done
  ratio=${median[$((columns - 1))]}
  echo "$(printf "$format" median "${median[@]:0:8}" "$ratio")$(optional_columns "${median[@]}")"
fi
echo "load average at end $(cut -d' ' -f1 /proc/loadavg)"
