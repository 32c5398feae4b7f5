"""Timing of Python calls over a pool of inputs, robust to a machine shared with other work.

Every call is timed on its own with the wall clock. Preemption by another process lands on a few
calls and makes them slow; the median of each input's times leaves those out, where the mean of a
long batch would not. The figure of a function is the mean over the pool of these per-input medians:
inputs that differ in cost (a signature's nonce needs a varying number of HMAC evaluations) count
equally, as they would over many calls."""

import gc
import math
import time

MIN_ROUNDS = 15
MAX_ROUNDS = 2000


def quantile(sorted_values, q):
    position = (len(sorted_values) - 1) * q
    low, high = math.floor(position), math.ceil(position)
    return sorted_values[low] + (sorted_values[high] - sorted_values[low]) * (position - low)


def summary(values, iterations):
    """{"median_ns", "iqr_ns", "iterations"} of a list of times."""
    ordered = sorted(values)
    return {
        "median_ns": quantile(ordered, 0.5),
        "iqr_ns": quantile(ordered, 0.75) - quantile(ordered, 0.25),
        "iterations": iterations,
    }


def time_pool(function, pool, budget_seconds):
    """Times function(*arguments) for every argument list of the pool, in rounds over the whole pool,
    after a warm-up of a fifth of the budget, until the budget is spent (at least MIN_ROUNDS rounds).
    Returns {"median_ns": mean of the per-input medians, "iqr_ns": mean of the per-input interquartile
    ranges, "iterations", "rounds", "cpu_mean_ns": the thread's CPU time per call}. The garbage
    collector is off while timing, as timeit does."""
    clock = time.perf_counter_ns
    gc_was_enabled = gc.isenabled()
    gc.disable()
    try:
        warm_up_end = clock() + int(budget_seconds * 1e9) // 5
        while True:
            for arguments in pool:
                function(*arguments)
            if clock() >= warm_up_end:
                break

        times = [[] for _ in pool]
        rounds = 0
        cpu_start = time.thread_time_ns()
        deadline = clock() + int(budget_seconds * 1e9)
        while rounds < MAX_ROUNDS and (rounds < MIN_ROUNDS or clock() < deadline):
            for arguments, samples in zip(pool, times):
                start = clock()
                function(*arguments)
                samples.append(clock() - start)
            rounds += 1
        cpu_ns = time.thread_time_ns() - cpu_start
    finally:
        if gc_was_enabled:
            gc.enable()
    per_input = [summary(samples, rounds) for samples in times]
    return {
        "median_ns": sum(s["median_ns"] for s in per_input) / len(pool),
        "iqr_ns": sum(s["iqr_ns"] for s in per_input) / len(pool),
        "iterations": rounds * len(pool),
        "rounds": rounds,
        "cpu_mean_ns": cpu_ns / (rounds * len(pool)),
    }
