"""Prints the line and branch coverage of a gcovr JSON summary per product folder and in total."""
import json
import sys
from collections import defaultdict


def folder(path):
    parts = path.split("/")
    # sdk/src/json, crypto/field, python-module/src/lib ...: the folder that holds the file.
    return "/".join(parts[:-1])


def main(summary_path):
    files = json.load(open(summary_path))["files"]
    totals = defaultdict(lambda: [0, 0, 0, 0])
    for entry in files:
        for key in (folder(entry["filename"]), "total"):
            counts = totals[key]
            counts[0] += entry["line_covered"]
            counts[1] += entry["line_total"]
            counts[2] += entry["branch_covered"]
            counts[3] += entry["branch_total"]
    print(f"{'folder':<24} {'lines':>17} {'branches':>17}")
    for key in sorted(totals, key=lambda name: (name == "total", name)):
        lines_covered, lines, branches_covered, branches = totals[key]
        print(f"{key:<24} {lines_covered:>6}/{lines:<6} {100 * lines_covered / max(lines, 1):5.1f}% "
              f"{branches_covered:>6}/{branches:<6} {100 * branches_covered / max(branches, 1):5.1f}%")


if __name__ == "__main__":
    main(sys.argv[1])
