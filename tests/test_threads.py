"""Threads calling the module at the same time get exactly the results of the same calls made one after
another, and every failed call among them still writes its own whole diagnostic line. The core runs with
the interpreter released, so a call from one thread completes while another thread's call is inside the
core, on the ordinary interpreter as on the free-threaded one."""
import collections
import json
import os
import random
import sys
import threading

import tarvo_python_sdk
from expected_functions import FAILING_CALLS, NAMES, VALID_KEY

THREADS = 8
CALLS_PER_THREAD = 300
SEED = 20240611

KEYS = [VALID_KEY, "0x" + "0" * 63 + "7", "0x060c89ce5c263405370a08b6d0302b0bab3eedb83920ee0a677297dc392126f0"]
MESSAGE = "0x" + "5a" * 32


def work_items():
    """(function name, arguments, diagnostic line or None): every golden request hashed and signed under
    each key, a successful call of every other function, and the failing calls of every function."""
    with open(os.path.join(os.path.dirname(__file__), "data", "golden", "hashes.json"), encoding="utf-8") as file:
        golden = json.load(file)
    items = []
    for entry in golden:
        request = entry["args"][0]
        items.append((entry["function"], (request,), None))
        sign_name = entry["function"].replace("hash_", "sign_")
        items.extend((sign_name, (request, key), None) for key in KEYS)
    for key in KEYS:
        public_key = json.loads(tarvo_python_sdk.private_key_to_public_key_xy(key))
        signature = json.loads(tarvo_python_sdk.sign(key, MESSAGE))
        items += [
            ("sign", (key, MESSAGE), None),
            ("eth_sign", (key, MESSAGE), None),
            ("private_key_to_public_key_xy", (key,), None),
            ("public_key_to_xy", (public_key["x"],), None),
            ("is_on_curve", (public_key["x"], public_key["y"]), None),
            ("verify_signature", (signature["r"], signature["s"], public_key["x"], "", MESSAGE), None),
            ("verify_signature", (signature["r"], signature["s"], public_key["x"], "", "0x1"), None),
        ]
    items.append(("private_key_from_seed", ("a seed of at least thirty-two bytes, for threads",), None))
    items += [(name, tuple(args), diagnostic) for name, args, diagnostic in FAILING_CALLS]
    return items


def outcome(name, args):
    try:
        return getattr(tarvo_python_sdk, name)(*args)
    except ValueError as error:
        return ("ValueError", str(error))


def test_concurrent_calls_of_every_function_match_the_sequential_results(stderr_capture):
    items = work_items()
    assert {name for name, _, _ in items} == set(NAMES)
    assert {name for name, _, diagnostic in items if diagnostic} == set(NAMES)
    with stderr_capture() as captured:
        expected = [outcome(name, args) for name, args, _ in items]
    assert [diagnostic for _, _, diagnostic in items if diagnostic] == captured.text().splitlines()
    assert all(isinstance(result, tuple) == (diagnostic is not None)
               for result, (_, _, diagnostic) in zip(expected, items))

    # Each thread walks the items in its own seeded order, so different calls run side by side.
    orders = []
    for thread in range(THREADS):
        rng = random.Random(SEED + thread)
        orders.append([rng.randrange(len(items)) for _ in range(CALLS_PER_THREAD)])
    results = [[] for _ in range(THREADS)]
    start = threading.Barrier(THREADS)

    def run(thread):
        start.wait()
        results[thread] = [outcome(*items[i][:2]) for i in orders[thread]]

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
    # Every failure wrote its whole line: the lines are exactly those of the failing calls, none mixed.
    expected_lines = collections.Counter(items[i][2] for order in orders for i in order if items[i][2])
    assert collections.Counter(captured.text().splitlines()) == expected_lines, f"seed {SEED}"


def test_a_call_completes_while_another_threads_call_is_inside_the_core():
    # A transfer behind a large member the reader must skip: its hash takes a while to compute.
    request = {"nonce": "1", "public_key": "0x1", "expiration_timestamp": "2", "sender_position_id": "3",
               "receiver_public_key": "0x4", "receiver_position_id": "5", "amount": "6", "asset_id": "0x7"}
    long_request = json.dumps({"padding": "x" * (48 << 20), **request})
    expected = tarvo_python_sdk.hash_transfer(json.dumps(request))

    # With a switch interval far beyond the test, a thread holding the interpreter keeps it until it blocks
    # or ends: the main thread can run while the other thread's call is in progress only if that call
    # released the interpreter.
    entered, finished = threading.Event(), threading.Event()
    long_result = []

    def long_call():
        entered.set()
        long_result.append(tarvo_python_sdk.hash_transfer(long_request))
        finished.set()

    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)
    try:
        worker = threading.Thread(target=long_call)
        worker.start()
        entered.wait()
        short_result = tarvo_python_sdk.hash_transfer(json.dumps(request))
        overlapped = not finished.is_set()
        worker.join()
    finally:
        sys.setswitchinterval(interval)
    assert overlapped, "the short call waited for the whole long call"
    assert short_result == expected and long_result == [expected]
