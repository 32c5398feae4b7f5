"""Eight threads hashing and signing different requests at the same time get exactly the results of the
same calls made one after another, and every failed call among them still writes one whole diagnostic line.
On an interpreter without the GIL the calls really overlap; with it they interleave between calls."""
import json
import os
import random
import threading

import tarvo_python_sdk
from expected_functions import VALID_KEY

THREADS = 8
CALLS_PER_THREAD = 300
SEED = 20240611

KEYS = [VALID_KEY, "0x" + "0" * 63 + "7", "0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0"]


def work_items():
    """(function name, arguments) for every golden request: its hash, its signature under each key, and one
    failing call per request kind."""
    with open(os.path.join(os.path.dirname(__file__), "data", "golden", "hashes.json")) as file:
        golden = json.load(file)
    items = []
    for entry in golden:
        request = entry["args"][0]
        items.append((entry["function"], (request,)))
        sign_name = entry["function"].replace("hash_", "sign_")
        items.extend((sign_name, (request, key)) for key in KEYS)
    items.extend((name, ("{not json",)) for name in sorted({entry["function"] for entry in golden}))
    items.append(("sign", ("not a key", "0x1")))
    return items


def outcome(name, args):
    try:
        return getattr(tarvo_python_sdk, name)(*args)
    except ValueError as error:
        return ("ValueError", str(error))


def test_concurrent_hashing_and_signing_match_the_sequential_results(stderr_capture):
    items = work_items()
    with stderr_capture() as captured:
        expected = [outcome(name, args) for name, args in items]
    failures_per_pass = sum(1 for result in expected if isinstance(result, tuple))
    assert 0 < failures_per_pass < len(items)
    assert len(captured.text().splitlines()) == failures_per_pass

    # Each thread walks the items in its own seeded order, so different requests run side by side.
    orders = []
    for thread in range(THREADS):
        rng = random.Random(SEED + thread)
        orders.append([rng.randrange(len(items)) for _ in range(CALLS_PER_THREAD)])
    results = [[] for _ in range(THREADS)]
    start = threading.Barrier(THREADS)

    def run(thread):
        start.wait()
        results[thread] = [outcome(*items[i]) for i in orders[thread]]

    with stderr_capture() as captured:
        threads = [threading.Thread(target=run, args=(t,)) for t in range(THREADS)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    for thread in range(THREADS):
        assert len(results[thread]) == CALLS_PER_THREAD, f"thread {thread} did not finish (seed {SEED})"
        for i, result in zip(orders[thread], results[thread]):
            assert result == expected[i], f"thread {thread}, {items[i][0]} (seed {SEED})"
    failures = sum(isinstance(expected[i], tuple) for order in orders for i in order)
    lines = captured.text().splitlines()
    assert len(lines) == failures, f"seed {SEED}"
    assert all(line.startswith("tarvo_python_sdk: ") for line in lines), f"seed {SEED}"
