"""Throughput of module functions from 1, 2, ... Python threads on the interpreter that runs this script,
and how long an asyncio event loop waits while executor threads sign. Every thread makes the same number
of passes over the function's pool; throughput is all calls made over the wall time until the last
thread finishes. The event-loop figure is the lateness of a 1 ms timer (how much later than asked the
loop wakes), worst and 99th percentile, while `--signers` threads of the loop's executor sign without
pause, beside the same timer on a loop with nothing else to do.

The re-quote is a market maker's batch: `--orders` limit orders signed with `sign_limit_order` one after
another, through a pool of `--workers` threads one order per task (`pool.map`), and through the same pool
one slice of the orders per worker. The three ways take turns, repetition after repetition, on one pool
kept alive throughout; each figure is the median over the repetitions of the wall time of the whole batch,
and of the process's CPU time in it (every thread's: the pool's hand-offs show there even when other work
leaves no second core free).

Prints one JSON document:
    {"python", "executable", "gil_enabled",
     "results": [{"function", "threads", "calls_per_second", "ns_per_call", "runs", "calls_per_run"}],
     "event_loop": {"timer_ns", "signers", "seconds", "idle": {...}, "signing": {...}},
     "requote": {"orders", "workers", "repetitions", "sequential_ns", "per_order_ns", "sliced_ns",
                 "sequential_cpu_ns", "per_order_cpu_ns", "sliced_cpu_ns", "runs_ns": {way: [...]}}}
    (each event-loop part: {"timers", "worst_late_ns", "p99_late_ns", "median_late_ns"})

    PYTHON bench/threads_bench.py WORKLOAD.json [--functions sign hash_transfer] [--threads 1 2]
        [--seconds S] [--repeats N] [--loop-seconds S] [--signers N] [--orders N] [--workers N]
        [--requote-seconds S] [--requote-only]
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


def sign_order(order):
    return tarvo_python_sdk.sign_limit_order(*order)


def sign_slice(orders):
    return [sign_order(order) for order in orders]


def slices(orders, count):
    """`orders` cut into `count` consecutive slices of nearly equal length."""
    size = -(-len(orders) // count)
    return [orders[start:start + size] for start in range(0, len(orders), size)]


def requote_sequential(pool, orders, workers):
    return sign_slice(orders)


def requote_per_order(pool, orders, workers):
    return list(pool.map(sign_order, orders))


def requote_sliced(pool, orders, workers):
    return [signature for part in pool.map(sign_slice, slices(orders, workers)) for signature in part]


REQUOTE_WAYS = {"sequential": requote_sequential, "per_order": requote_per_order, "sliced": requote_sliced}


def requote(calls, orders, workers, seconds):
    """The re-quote's three ways, alternating, for about `seconds` (at least 5 repetitions of each)."""
    batch = [tuple(calls[i % len(calls)]) for i in range(orders)]
    runs = {way: [] for way in REQUOTE_WAYS}
    cpu = {way: [] for way in REQUOTE_WAYS}  # the process's CPU time, all threads: what a way costs the machine
    with concurrent.futures.ThreadPoolExecutor(workers) as pool:
        expected = REQUOTE_WAYS["sequential"](pool, batch, workers)  # also the warm-up of the tables
        for way, sign in REQUOTE_WAYS.items():  # starts the pool's threads
            if sign(pool, batch, workers) != expected:
                sys.exit(f"the re-quote signed {way} differs from the sequential one")
        end = time.perf_counter_ns() + int(seconds * 1e9)
        while len(runs["sliced"]) < 5 or time.perf_counter_ns() < end:
            for way, sign in REQUOTE_WAYS.items():
                start, cpu_start = time.perf_counter_ns(), time.process_time_ns()
                sign(pool, batch, workers)
                runs[way].append(time.perf_counter_ns() - start)
                cpu[way].append(time.process_time_ns() - cpu_start)
    return {"orders": orders, "workers": workers, "repetitions": len(runs["sliced"]),
            **{f"{way}_ns": statistics.median(times) for way, times in runs.items()},
            **{f"{way}_cpu_ns": statistics.median(times) for way, times in cpu.items()}, "runs_ns": runs}


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
    parser.add_argument("--orders", type=int, default=100, help="limit orders of one re-quote")
    parser.add_argument("--workers", type=int, default=2, help="threads of the re-quote's pool")
    parser.add_argument("--requote-seconds", type=float, default=2.0, help="length of the re-quote's repetitions")
    parser.add_argument("--requote-only", action="store_true", help="only the re-quote")
    args = parser.parse_args()

    with open(args.workload) as file:
        calls = json.load(file)["calls"]
    gil_enabled = getattr(sys, "_is_gil_enabled", lambda: True)()
    quotes = requote(calls["sign_limit_order"], args.orders, args.workers, args.requote_seconds)
    if args.requote_only:
        json.dump({"python": sys.version, "executable": sys.executable, "gil_enabled": gil_enabled,
                   "requote": quotes}, sys.stdout, indent=1)
        return
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
    json.dump({"python": sys.version, "executable": sys.executable, "gil_enabled": gil_enabled,
               "results": results, "event_loop": event_loop, "requote": quotes}, sys.stdout, indent=1)


if __name__ == "__main__":
    main()
