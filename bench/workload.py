"""The benchmark inputs: for each of the 17 module functions, a pool of realistic argument lists.

Every program of the suite (the module timings, the C++ kernels, the counting program) reads the same
pools from one JSON file, so a floor computed from counted work matches the inputs that were timed.
The pools are deterministic: the same module gives the same file.

    python bench/workload.py OUT.json
"""

import argparse
import hashlib
import json
import pathlib

# Each timed batch runs whole passes over a pool. The nonce of a signature needs a varying number of
# HMAC-SHA-256 evaluations (rejection sampling, on average about 42 candidates), so a pass over many
# keys and messages averages that variation out of every sample.
POOL_SIZE = 64


def _seed(i):
    return f"tarvo benchmark key {i:02d}: a seed text of at least thirty-two bytes"


def _message(i):
    return "0x" + hashlib.sha256(f"tarvo benchmark message {i}".encode()).hexdigest()


def build(sdk):
    """The pools, as {"pool_size": n, "calls": {function name: [argument list, ...]}}."""
    seeds = [_seed(i) for i in range(POOL_SIZE)]
    keys = [sdk.private_key_from_seed(seed) for seed in seeds]
    public_keys = [json.loads(sdk.private_key_to_public_key_xy(key)) for key in keys]
    messages = [_message(i) for i in range(POOL_SIZE)]

    transfers, withdrawals, limit_orders, liquidations, oracle_prices = [], [], [], [], []
    for i, public_key in enumerate(public_keys):
        packed = public_key["x"]
        header = {"nonce": str(1000 + i), "public_key": packed, "expiration_timestamp": str(1764000000 + 3600 * i)}
        transfers.append({**header, "sender_position_id": str(100 + i),
                          "receiver_public_key": public_keys[(i + 1) % POOL_SIZE]["x"],
                          "receiver_position_id": str(200 + i), "amount": str(25000000 + 1000 * i),
                          "asset_id": "0x1"})
        withdrawals.append({**header, "position_id": str(100 + i), "amount": str(5000000 + 1000 * i),
                            "eth_address": packed, "asset_id": "0x1"})
        order = {**header, "amount_synthetic": str(1000 + i), "amount_collateral": str(64000000 + 1000 * i),
                 "amount_fee": "32000", "asset_id_synthetic": "0x4254432d3130000000000000000000",
                 "asset_id_collateral": "0x1", "position_id": str(100 + i), "is_buying_synthetic": i % 2 == 0}
        limit_orders.append(order)
        liquidations.append({"liquidator_order": order, "liquidated_position_id": str(300 + i),
                             "actual_collateral": order["amount_collateral"],
                             "actual_synthetic": order["amount_synthetic"], "actual_liquidator_fee": "32000"})
        oracle_prices.append({"signer_key": packed, "external_price": str(64000000000000000000000 + 10**18 * i),
                              "timestamp": str(1764000000 + 60 * i),
                              "signed_asset_id": "0x425443555344000000000000000000004d616b6572"})

    def texts(requests):
        return [json.dumps(request) for request in requests]

    request_texts = {
        "transfer": texts(transfers),
        "withdraw": texts(withdrawals),
        "limit_order": texts(limit_orders),
        "liquidate": texts(liquidations),
        "signed_oracle_price": texts(oracle_prices),
    }
    signatures = [json.loads(sdk.sign(key, message)) for key, message in zip(keys, messages)]

    calls = {
        "verify_signature": [[signature["r"], signature["s"], public_key["x"], public_key["y"], message]
                             for signature, public_key, message in zip(signatures, public_keys, messages)],
    }
    for kind, pool in request_texts.items():
        calls[f"sign_{kind}"] = [[text, key] for text, key in zip(pool, keys)]
    for kind, pool in request_texts.items():
        calls[f"hash_{kind}"] = [[text] for text in pool]
    calls["sign"] = [[key, message] for key, message in zip(keys, messages)]
    calls["eth_sign"] = [[key, message] for key, message in zip(keys, messages)]
    calls["private_key_from_seed"] = [[seed] for seed in seeds]
    calls["is_on_curve"] = [[public_key["x"], public_key["y"]] for public_key in public_keys]
    calls["public_key_to_xy"] = [[public_key["x"]] for public_key in public_keys]
    calls["private_key_to_public_key_xy"] = [[key] for key in keys]

    missing = set(sdk.__all__) - set(calls)
    if missing:
        raise RuntimeError(f"no benchmark inputs for {sorted(missing)}")
    return {"pool_size": POOL_SIZE, "calls": {name: calls[name] for name in sdk.__all__}}


def main():
    parser = argparse.ArgumentParser(description="Write the benchmark inputs as JSON.")
    parser.add_argument("out", metavar="OUT.json", type=pathlib.Path)
    out_path = parser.parse_args().out
    import tarvo_python_sdk

    with open(out_path, "w") as out:
        json.dump(build(tarvo_python_sdk), out, indent=1)


if __name__ == "__main__":
    main()
