"""Calls of every function, on their success and failure paths, leave nothing behind: after thousands of
calls neither Python's allocated blocks nor the process's resident memory has grown. Most arguments carry
20 KB of text that the call copies or reads through, so a call that kept any of its texts would add 20 KB
each time."""
import gc
import json
import os
import sys

import pytest

import tarvo_python_sdk
from expected_functions import IDENTITY_PACKED, SIGNATURE_R, SIGNATURE_S, VALID_KEY

ROUNDS = 400
WARM_UP_ROUNDS = 40
BIG = 20_000
# A leak of one block per call shows up ROUNDS times over; a few blocks of slack absorb interpreter caches.
BLOCK_SLACK = 100
# A leaked 20 KB text per call would add about 8 MB over the rounds.
RSS_SLACK = 2 * 1024 * 1024

# A member every request kind requires (each kind has exactly one of them).
REQUIRED = {"nonce", "liquidated_position_id", "timestamp"}
VERIFY_KEY = "0x8af3963e32f7a1cc3e973b4d9a359392a7ea5ae99c4203c0064badaa2f3f8f8d"
VERIFY_R = "0xadf5989966420314f57d8dd246ef95fc560e941a1a34ee3ef4dc44f424baede8"
VERIFY_S = "0x05d662fcfc8300888a1f113faf812376b49db0bda57ff00e6580f2b9f8da0a68"


def golden_requests():
    """One request text per hash function, with a 20 KB member the records do not know."""
    with open(os.path.join(os.path.dirname(__file__), "data", "golden", "hashes.json"), encoding="utf-8") as file:
        golden = json.load(file)
    requests = {}
    for entry in golden:
        request = json.loads(entry["args"][0])
        if isinstance(request, dict):
            requests.setdefault(entry["function"], json.dumps(dict(request, padding="p" * BIG)))
    return requests


def calls():
    """(function name, arguments, whether the call succeeds) covering both paths of every function, and
    the argument errors."""
    requests = golden_requests()
    big_hex = "0x" + "0" * BIG
    big_text = "{" + " " * BIG
    result = []
    for hash_name, request in sorted(requests.items()):
        sign_name = hash_name.replace("hash_", "sign_")
        missing_member = json.dumps({k: v for k, v in json.loads(request).items() if k not in REQUIRED})
        result += [
            (hash_name, (request,), True), (hash_name, (big_text,), False), (hash_name, (missing_member,), False),
            (sign_name, (request, VALID_KEY), True), (sign_name, (request, big_hex), False),
            (sign_name, (big_text, VALID_KEY), False),
        ]
    result += [
        ("verify_signature", (VERIFY_R, VERIFY_S, VERIFY_KEY, "p" * BIG, "0x1234"), True),
        ("verify_signature", (SIGNATURE_R, SIGNATURE_S, IDENTITY_PACKED, "p" * BIG, big_hex), False),
        ("verify_signature", (big_hex, SIGNATURE_S, IDENTITY_PACKED, "", "0x1"), False),
        ("sign", (VALID_KEY, "0x1234"), True), ("sign", (big_hex, "0x1"), False),
        ("eth_sign", (VALID_KEY, "0x1234"), True), ("eth_sign", (big_hex, "0x1"), False),
        ("private_key_from_seed", ("s" * BIG,), True), ("private_key_from_seed", ("short",), False),
        ("is_on_curve", (IDENTITY_PACKED, "0x0"), True), ("is_on_curve", (big_hex, "0x0"), False),
        ("public_key_to_xy", (IDENTITY_PACKED,), True), ("public_key_to_xy", (big_hex,), False),
        ("private_key_to_public_key_xy", (VALID_KEY,), True), ("private_key_to_public_key_xy", (big_hex,), False),
        ("hash_transfer", (b"x" * BIG,), TypeError), ("sign", (VALID_KEY, "\ud800" * BIG), UnicodeEncodeError),
        ("is_on_curve", (), TypeError),
    ]
    return result


def run_round(plan):
    for name, args, expected in plan:
        try:
            getattr(tarvo_python_sdk, name)(*args)
            outcome = True
        except (ValueError, TypeError) as error:
            outcome = type(error) if type(error) is not ValueError else False
        assert outcome == expected, name


def resident_bytes():
    if sys.platform == "win32":
        return working_set_bytes()
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def working_set_bytes():
    """The process's working set, Windows' resident memory (GetProcessMemoryInfo)."""
    import ctypes

    size = ctypes.c_size_t
    fields = ["peak_working_set", "working_set", "peak_paged_pool", "paged_pool", "peak_nonpaged_pool",
              "nonpaged_pool", "pagefile", "peak_pagefile"]

    class Counters(ctypes.Structure):
        _fields_ = [("cb", ctypes.c_uint32), ("page_faults", ctypes.c_uint32)] + [(name, size) for name in fields]

    counters = Counters(cb=ctypes.sizeof(Counters))
    kernel32 = ctypes.WinDLL("kernel32")
    kernel32.GetCurrentProcess.restype = ctypes.c_void_p
    assert kernel32.K32GetProcessMemoryInfo(ctypes.c_void_p(kernel32.GetCurrentProcess()), ctypes.byref(counters),
                                            counters.cb)
    return counters.working_set


@pytest.mark.skipif(os.environ.get("TARVO_EMULATED") == "1",
                    reason="under qemu user-mode emulation /proc/self/statm cannot be read: no resident memory")
def test_thousands_of_calls_on_every_path_leave_no_memory_behind(stderr_capture):
    plan = calls()
    assert {name for name, _, _ in plan} == set(tarvo_python_sdk.__all__)
    with stderr_capture():
        for _ in range(WARM_UP_ROUNDS):
            run_round(plan)
        gc.collect()
        blocks_before, rss_before = sys.getallocatedblocks(), resident_bytes()
        for _ in range(ROUNDS):
            run_round(plan)
        gc.collect()
        blocks_after, rss_after = sys.getallocatedblocks(), resident_bytes()
    calls_made = ROUNDS * len(plan)
    assert blocks_after - blocks_before < BLOCK_SLACK, f"{blocks_after - blocks_before} blocks after {calls_made} calls"
    assert rss_after - rss_before < RSS_SLACK, f"{(rss_after - rss_before) // 1024} KB after {calls_made} calls"
