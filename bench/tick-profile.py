#!/usr/bin/env python3
"""What the ticks between two callgrind runs of bench/instructions-per-tick.sh cost, by function.

    bench/tick-profile.py FEW MANY [--inclusive] [--top N]

Subtracts the per-function instruction counts of the shorter run from the
longer one and divides by the number of ticks between them, so start-up and
the snapshot drop out and what is left is one warm tick.
"""
import argparse
import re
import subprocess

ROW = re.compile(r"^\s*([\d,]+) \([^)]*\)\s+(\S.*?)(?: \[.*\])?$")


def counts(path, inclusive):
    args = ["callgrind_annotate", "--threshold=100"] + (["--inclusive=yes"] if inclusive else []) + [path]
    text = subprocess.run(args, capture_output=True, text=True, check=True).stdout
    ticks = int(re.search(r"--ticks (\d+)", text).group(1))
    table = {}
    for line in text.splitlines():
        match = ROW.match(line)
        if match and "PROGRAM TOTALS" not in line:
            table[match.group(2)] = table.get(match.group(2), 0) + int(match.group(1).replace(",", ""))
    return ticks, table


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("few")
    parser.add_argument("many")
    parser.add_argument("--inclusive", action="store_true")
    parser.add_argument("--top", type=int, default=40)
    options = parser.parse_args()
    few_ticks, few = counts(options.few, options.inclusive)
    many_ticks, many = counts(options.many, options.inclusive)
    ticks = many_ticks - few_ticks
    rows = sorted(((many.get(f, 0) - few.get(f, 0)) / ticks, f) for f in set(many) | set(few))
    for per_tick, function in reversed(rows[-options.top:]):
        print(f"{per_tick:12,.0f}  {function}")


if __name__ == "__main__":
    main()
