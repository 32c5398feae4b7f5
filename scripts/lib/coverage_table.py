"""Prints the line and branch coverage of a gcovr JSON summary per product folder and in total, then the
total of a second summary that leaves out the branches choosing a kernel by the CPU."""
import json
import sys
from collections import defaultdict

KEYS = ("line_covered", "line_total", "branch_covered", "branch_total")


def row(name, counts):
    lines_covered, lines, branches_covered, branches = counts
    return (f"{name:<24} {lines_covered:>6}/{lines:<6} {100 * lines_covered / max(lines, 1):5.1f}% "
            f"{branches_covered:>6}/{branches:<6} {100 * branches_covered / max(branches, 1):5.1f}%")


def main(summary_path, this_cpu_path):
    totals = defaultdict(lambda: [0, 0, 0, 0])
    for entry in json.load(open(summary_path))["files"]:
        folder = entry["filename"].rsplit("/", 1)[0]  # sdk/src/json, crypto/field, python-module/src/lib ...
        for name in (folder, "total"):
            totals[name] = [sum(pair) for pair in zip(totals[name], (entry[key] for key in KEYS))]
    print(f"{'folder':<24} {'lines':>17} {'branches':>17}")
    for name in sorted(totals, key=lambda name: (name == "total", name)):
        print(row(name, totals[name]))
    this_cpu = json.load(open(this_cpu_path))["files"]
    print(row("total, this CPU's kernels", [sum(entry[key] for entry in this_cpu) for key in KEYS]))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
