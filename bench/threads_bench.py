"""Throughput of module functions from 1, 2, ... Python threads on the interpreter that runs this script,
and how long an asyncio event loop waits while executor threads sign. Every thread makes the same number
of passes over the function's pool; throughput is all calls made over the wall time until the last
thread finishes. The event-loop figure is the lateness of a 1 ms timer (how much later than asked the
loop wakes), worst and 99th percentile, while `--signers` threads of the loop's executor sign without
pause, beside the same timer on a loop with nothing else to do. Prints one JSON document:
    {"python", "executable", "gil_enabled",
     "results": [{"function", "threads", "calls_per_second", "ns_per_call", "runs", "calls_per_run"}],
     "event_loop": {"timer_ns", "signers", "seconds", "idle": {...}, "signing": {...}}}
    (each event-loop part: {"timers", "worst_late_ns", "p99_late_ns", "median_late_ns"})

    PYTHON bench/threads_bench.py WORKLOAD.json [--functions sign hash_transfer] [--threads 1 2]
        [--seconds S] [--repeats N] [--loop-seconds S] [--signers N]
"""

import argparse
import asyncio
import concurrent.futures
import json
import statistics
import sys
import threading
import time

import tarvo_python_sdk

from timing import quantile

TIMER_NS = 1_000_000


def run(function, threads, passes, pool):
    """Wall time in ns for `threads` threads, each making `passes` passes over the pool."""
    start_together = threading.Barrier(threads + 1)

    def work():
        start_together.wait()
        for _ in range(passes):
            for arguments in pool:
                function(*arguments)

    workers = [threading.Thread(target=work) for _ in range(threads)]
    for worker in workers:
        worker.start()
    start_together.wait()
    start = time.perf_counter_ns()
    for worker in workers:
        worker.join()
    return time.perf_counter_ns() - start


def throughput(name, pool, thread_counts, seconds, repeats):
    function = getattr(tarvo_python_sdk, name)
    one_pass_ns = run(function, 1, 1, pool)  # also the warm-up: builds the shared tables
    passes = max(1, round(seconds * 1e9 / one_pass_ns))
    results = []
    for threads in thread_counts:
        walls = [run(function, threads, passes, pool) for _ in range(repeats)]
        calls = threads * passes * len(pool)
        wall = statistics.median(walls)
        results.append({"function": name, "threads": threads, "calls_per_second": calls / wall * 1e9,
                        "ns_per_call": wall / calls, "runs": repeats, "calls_per_run": calls})
    return results


async def timer_lateness(seconds):
    """Lateness in ns of every 1 ms sleep of the running loop over `seconds`."""
    late = []
    end = time.perf_counter_ns() + int(seconds * 1e9)
    while time.perf_counter_ns() < end:
        asked = time.perf_counter_ns()
        await asyncio.sleep(TIMER_NS / 1e9)
        late.append(max(0, time.perf_counter_ns() - asked - TIMER_NS))
    return late


async def lateness_while_signing(pool, signers, seconds):
    loop = asyncio.get_running_loop()
    stop = threading.Event()

    def sign_until_stopped():
        while not stop.is_set():
            for private_key, message in pool:
                tarvo_python_sdk.sign(private_key, message)

    with concurrent.futures.ThreadPoolExecutor(signers) as executor:
        running = [loop.run_in_executor(executor, sign_until_stopped) for _ in range(signers)]
        try:
            return await timer_lateness(seconds)
        finally:
            stop.set()
            await asyncio.gather(*running)


def lateness_summary(late):
    ordered = sorted(late)
    return {"timers": len(ordered), "worst_late_ns": ordered[-1], "p99_late_ns": quantile(ordered, 0.99),
            "median_late_ns": quantile(ordered, 0.5)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("workload")
    parser.add_argument("--functions", nargs="+", default=["sign", "hash_transfer"])
    parser.add_argument("--threads", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--seconds", type=float, default=1.0, help="length of one single-thread run")
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--loop-seconds", type=float, default=1.0, help="length of each event-loop run")
    parser.add_argument("--signers", type=int, default=2, help="executor threads signing beside the event loop")
    args = parser.parse_args()

    with open(args.workload) as file:
        calls = json.load(file)["calls"]
    results = []
    for name in args.functions:
        pool = [tuple(arguments) for arguments in calls[name]]
        results.extend(throughput(name, pool, args.threads, args.seconds, args.repeats))

    signing_pool = [tuple(arguments) for arguments in calls["sign"]]
    event_loop = {
        "timer_ns": TIMER_NS, "signers": args.signers, "seconds": args.loop_seconds,
        "idle": lateness_summary(asyncio.run(timer_lateness(args.loop_seconds))),
        "signing": lateness_summary(asyncio.run(lateness_while_signing(signing_pool, args.signers,
                                                                       args.loop_seconds))),
    }
    gil_enabled = getattr(sys, "_is_gil_enabled", lambda: True)()
    json.dump({"python": sys.version, "executable": sys.executable, "gil_enabled": gil_enabled,
               "results": results, "event_loop": event_loop}, sys.stdout, indent=1)


if __name__ == "__main__":
    main()
