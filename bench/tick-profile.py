#!/usr/bin/env python3
"""What one sampling tick costs, by function, from callgrind profiles of bench/instructions-per-tick.sh.

    bench/tick-profile.py FEW MANY [--inclusive] [--top N]
    bench/tick-profile.py LIVE [--inclusive] [--top N]
    bench/tick-profile.py --summary LIVE

With two offscreen runs, subtracts the per-function instruction counts of the
shorter run from the longer one and divides by the number of ticks between
them, so start-up and the snapshot drop out and what is left is one warm tick.
With one profile of a live span (--back-end bar or tray), divides its counts
by the ticks in it; --summary prints that span's instructions, ticks, calls
into start-up work and the instructions of work that other processes caused.
"""
import argparse
import re
import subprocess

ROW = re.compile(r"^\s*([\d,]+) \([^)]*\)\s+(\S.*?)(?: \[.*\])?$")
# The scheduler's tick of one group: every tick of every interval passes through it.
TICK = "SamplingScheduler::updateItems"
# Work of the start-up, which a settled program no longer does.
STARTUP = ("ApplicationDelegate::ApplicationDelegate", "ApplicationDelegate::applicationDidFinishLaunching")
# Work that others on the machine cause, not the ticks: every block-device event
# (a loop device set up or taken down anywhere) makes the disk watch look again.
FOREIGN = "BlockDeviceWatch::receive"


def counts(path, inclusive):
    args = ["callgrind_annotate", "--threshold=100"] + (["--inclusive=yes"] if inclusive else []) + [path]
    text = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    table = {}
    for line in text.splitlines():
        match = ROW.match(line)
        if match and "PROGRAM TOTALS" not in line:
            table[match.group(2)] = table.get(match.group(2), 0) + int(match.group(1).replace(",", ""))
    return table


def snapshot_ticks(path):
    with open(path, errors="replace") as profile:
        return int(re.search(r"--ticks (\d+)", profile.read()).group(1))


def live_summary(path):
    """The instructions of a live profile, the ticks counted in it (calls of the group
    tick), the calls into start-up work it holds and the instructions of foreign work."""
    names = {}
    total = 0
    ticks = 0
    startup = 0
    foreign = 0
    callee = None
    call_cost = False
    with open(path, errors="replace") as profile:
        for line in profile:
            if call_cost:
                # The line after a call holds what the call cost in all.
                call_cost = False
                foreign += int(line.split()[-1])
            elif line.startswith(("summary:", "totals:")):
                total = max(total, int(line.split()[1]))
            elif line.startswith("cfn="):
                match = re.match(r"cfn=\((\d+)\)(?: (.*))?", line.rstrip("\n"))
                if match.group(2):
                    names[match.group(1)] = match.group(2)
                callee = names.get(match.group(1), "")
                startup += any(name in callee for name in STARTUP)
            elif line.startswith("fn="):
                match = re.match(r"fn=\((\d+)\)(?: (.*))?", line.rstrip("\n"))
                if match and match.group(2):
                    names[match.group(1)] = match.group(2)
            elif line.startswith("calls=") and callee is not None:
                if TICK in callee:
                    ticks += int(line.split("=")[1].split()[0])
                call_cost = FOREIGN in callee
                callee = None
    return total, ticks, startup, foreign


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("profiles", nargs="+")
    parser.add_argument("--inclusive", action="store_true")
    parser.add_argument("--summary", action="store_true")
    parser.add_argument("--top", type=int, default=40)
    options = parser.parse_args()
    if options.summary:
        print(*live_summary(options.profiles[0]))
        return
    if len(options.profiles) == 1:
        ticks = live_summary(options.profiles[0])[1]
        few = {}
        many = counts(options.profiles[0], options.inclusive)
    else:
        ticks = snapshot_ticks(options.profiles[1]) - snapshot_ticks(options.profiles[0])
        few = counts(options.profiles[0], options.inclusive)
        many = counts(options.profiles[1], options.inclusive)
    ticks = max(ticks, 1)
    rows = sorted(((many.get(f, 0) - few.get(f, 0)) / ticks, f) for f in set(many) | set(few))
    for per_tick, function in reversed(rows[-options.top:]):
        print(f"{per_tick:12,.0f}  {function}")


if __name__ == "__main__":
    main()
