"""Times every function of tarvo_python_sdk as a Python caller sees it: whole calls, arguments
converted, results built, on the function's workload pool (see timing.time_pool). Prints one JSON
document:
    {"python": ..., "module": its file,
     "functions": {name: {"median_ns", "iqr_ns", "iterations", "rounds", "cpu_mean_ns"}}}

    python bench/bench_module.py WORKLOAD.json [--seconds S] [--only NAME ...]
"""

import argparse
import json
import sys

import tarvo_python_sdk

from timing import time_pool


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("workload")
    parser.add_argument("--seconds", type=float, default=1.0, help="timed budget per function")
    parser.add_argument("--only", nargs="*", help="time only these functions")
    args = parser.parse_args()

    with open(args.workload) as file:
        calls = json.load(file)["calls"]
    names = args.only or tarvo_python_sdk.__all__
    functions = {}
    for name in names:
        print(f"[bench_module] {name}", file=sys.stderr, flush=True)
        pool = [tuple(arguments) for arguments in calls[name]]
        functions[name] = time_pool(getattr(tarvo_python_sdk, name), pool, args.seconds)
    json.dump({"python": sys.version, "module": tarvo_python_sdk.__file__, "functions": functions},
              sys.stdout, indent=1)


if __name__ == "__main__":
    main()
