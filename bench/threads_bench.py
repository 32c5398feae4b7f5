"""Signing throughput of `sign` from 1, 2, ... Python threads on the interpreter that runs this
script. Every thread makes the same number of passes over the signing pool; throughput is all calls
made over the wall time until the last thread finishes. On an interpreter with a GIL the lock stays
held during a call, so more threads add no throughput. Prints one JSON document:
    {"python", "executable", "gil_enabled", "results": [{"threads", "signs_per_second", "ns_per_sign",
     "runs"}]}

    PYTHON bench/threads_bench.py WORKLOAD.json [--threads 1 2] [--seconds S] [--repeats N]
"""

import argparse
import json
import statistics
import sys
import threading
import time

import tarvo_python_sdk


def run(threads, passes, pool):
    """Wall time in ns for `threads` threads, each making `passes` passes over the pool."""
    start_together = threading.Barrier(threads + 1)

    def work():
        start_together.wait()
        for _ in range(passes):
            for private_key, message in pool:
                tarvo_python_sdk.sign(private_key, message)

    workers = [threading.Thread(target=work) for _ in range(threads)]
    for worker in workers:
        worker.start()
    start_together.wait()
    start = time.perf_counter_ns()
    for worker in workers:
        worker.join()
    return time.perf_counter_ns() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("workload")
    parser.add_argument("--threads", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--seconds", type=float, default=1.0, help="length of one single-thread run")
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    with open(args.workload) as file:
        pool = [tuple(arguments) for arguments in json.load(file)["calls"]["sign"]]
    one_pass_ns = run(1, 1, pool)  # also the warm-up: builds the shared tables
    passes = max(1, round(args.seconds * 1e9 / one_pass_ns))

    results = []
    for threads in args.threads:
        walls = [run(threads, passes, pool) for _ in range(args.repeats)]
        calls = threads * passes * len(pool)
        wall = statistics.median(walls)
        results.append({"threads": threads, "signs_per_second": calls / wall * 1e9, "ns_per_sign": wall / calls,
                        "runs": args.repeats, "calls_per_run": calls})
    gil_enabled = getattr(sys, "_is_gil_enabled", lambda: True)()
    json.dump({"python": sys.version, "executable": sys.executable, "gil_enabled": gil_enabled,
               "results": results}, sys.stdout, indent=1)


if __name__ == "__main__":
    main()
