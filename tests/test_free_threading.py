"""Calls from many threads at once give exactly the results of the same calls made one after another, also
while the shared tables are being built by the very first calls of a process. On the free-threaded build
the module runs without the GIL: importing it must not turn the GIL back on, and the threads really run
in parallel there."""

import json
import subprocess
import sys
import sysconfig
import textwrap
import threading

import pytest

import tarvo_python_sdk as sdk

FREE_THREADED = bool(sysconfig.get_config_var("Py_GIL_DISABLED"))
THREADS = 8

KEY = "0x" + "03" * 32
HEADER = {"nonce": "7", "public_key": "0x1234", "expiration_timestamp": "8"}
ORDER = {**HEADER, "asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3",
         "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "is_buying_synthetic": False}
REQUESTS = {
    "transfer": json.dumps({**HEADER, "asset_id": "0x4", "sender_position_id": "1", "receiver_position_id": "2",
                            "amount": "3", "receiver_public_key": "0x99"}),
    "withdraw": json.dumps({**HEADER, "position_id": "2", "amount": "3", "eth_address": "0x1234",
                            "asset_id": "0x4"}),
    "limit_order": json.dumps(ORDER),
    "liquidate": json.dumps([ORDER, "9", "10", "11", "12"]),
    "signed_oracle_price": json.dumps({"signer_key": "0x5", "external_price": "2", "timestamp": "3",
                                       "signed_asset_id": "0x1"}),
}


def workload(index):
    """One thread's share of calls, varied by index, as a list of (call, result) pairs."""
    key = f"0x{index + 1:064x}"
    message = f"0x{index * 7919 + 1:064x}"
    results = []
    for kind, request in REQUESTS.items():
        results.append((f"hash_{kind}", getattr(sdk, f"hash_{kind}")(request)))
        results.append((f"sign_{kind}", getattr(sdk, f"sign_{kind}")(request, key)))
    signature = json.loads(sdk.sign(key, message))
    public_key = json.loads(sdk.private_key_to_public_key_xy(key))
    results += [
        ("sign", json.dumps(signature)),
        ("public_key", json.dumps(public_key)),
        ("verify", sdk.verify_signature(signature["r"], signature["s"], public_key["x"], "", message)),
        ("verify other", sdk.verify_signature(signature["r"], signature["s"], public_key["x"], "", "0x2")),
        ("eth_sign", sdk.eth_sign(KEY, message)),
        ("seed", sdk.private_key_from_seed(f"seed number {index} of the thread test, long enough")),
        ("unpack", sdk.public_key_to_xy(public_key["x"])),
        ("on curve", sdk.is_on_curve(public_key["x"], public_key["y"])),
    ]
    return results


def run_in_threads(function, count):
    """Runs function(i) for i in range(count) on count threads started together; returns the results in
    index order and re-raises the first exception of any thread."""
    barrier = threading.Barrier(count)
    results = [None] * count
    errors = []

    def body(i):
        try:
            barrier.wait()
            results[i] = function(i)
        except BaseException as error:  # noqa: BLE001 - handed to the main thread
            errors.append(error)

    threads = [threading.Thread(target=body, args=(i,)) for i in range(count)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if errors:
        raise errors[0]
    return results


@pytest.mark.skipif(not FREE_THREADED, reason="only the free-threaded build can run without the GIL")
def test_import_keeps_the_gil_disabled():
    completed = subprocess.run(
        [sys.executable, "-W", "error::RuntimeWarning", "-c",
         "import sys, tarvo_python_sdk; print(sys._is_gil_enabled())"],
        capture_output=True, text=True, timeout=60)
    assert completed.returncode == 0, completed.stderr
    assert completed.stdout.strip() == "False"
    assert not sys._is_gil_enabled()


def test_threads_give_the_serial_results():
    serial = [workload(i) for i in range(THREADS)]
    for _ in range(3):
        assert run_in_threads(workload, THREADS) == serial


def test_failing_calls_in_threads_write_whole_diagnostic_lines(stderr_capture):
    def fail_repeatedly(index):
        outcomes = []
        for _ in range(20):
            try:
                sdk.hash_transfer('{"nonce": "1"}' if index % 2 else "not json")
            except ValueError as error:
                outcomes.append(str(error))
        return outcomes

    with stderr_capture() as captured:
        outcomes = run_in_threads(fail_repeatedly, THREADS)
    assert outcomes == [["Any { .. }"] * 20] * THREADS
    lines = captured.text().splitlines()
    assert len(lines) == 20 * THREADS
    assert all(line.startswith("tarvo_python_sdk: Couldn't get hash: ") for line in lines), lines
    assert sum("missing field `sender_position_id`" in line for line in lines) == 10 * THREADS


def test_first_calls_of_a_process_build_the_shared_tables_safely():
    """The first calls of a fresh process build the shared tables while other threads already use them."""
    code = textwrap.dedent(f"""
        import json, sys, threading
        sys.path.insert(0, {str(__import__('pathlib').Path(__file__).parent)!r})
        import tarvo_python_sdk as sdk
        from test_free_threading import run_in_threads, workload
        concurrent = run_in_threads(workload, {THREADS})
        serial = [workload(i) for i in range({THREADS})]
        print(json.dumps(concurrent == serial))
    """)
    for _ in range(3):
        completed = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=300)
        assert completed.returncode == 0, completed.stderr
        assert completed.stdout.strip() == "true"
