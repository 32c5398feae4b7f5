"""Hash and sign a sample request of every kind, verify a signature, and print the results.

Run it through `scripts/demo`, or directly with the project's virtual environment:
    .venv/bin/python examples/quickstart.py
"""

import json
import sys
from collections.abc import Callable

import tarvo_python_sdk as sdk

failures = 0


def show[T: (str, bool)](label: str, function: Callable[..., T], *args: str) -> T | None:
    """Calls one SDK function and prints its result; a failure is printed and counted."""
    global failures
    try:
        result = function(*args)
    except ValueError as error:
        failures += 1
        print(f"{label:<40} FAILED: ValueError {error} (the reason is on standard error)")
        return None
    print(f"{label:<40} {result}")
    return result


print(f"tarvo_python_sdk: {len(sdk.__all__)} functions: {', '.join(sdk.__all__)}\n")

private_key = show("private key from seed", sdk.private_key_from_seed,
                   "quickstart demo seed: at least thirty-two bytes long")
if private_key is None:
    sys.exit(1)
public_key = json.loads(show("public key (packed x, affine y)", sdk.private_key_to_public_key_xy,
                             private_key) or '{"x": "0x1", "y": "0x0"}')
packed_key = public_key["x"]

header = {"nonce": "1", "public_key": packed_key, "expiration_timestamp": "1764000000"}
transfer = {**header, "sender_position_id": "100", "receiver_public_key": "0x2a",
            "receiver_position_id": "200", "amount": "25000000", "asset_id": "0x1"}
withdrawal = {**header, "position_id": "100", "amount": "5000000", "eth_address": packed_key,
              "asset_id": "0x1"}
limit_order = {**header, "amount_synthetic": "1000", "amount_collateral": "64000000", "amount_fee": "32000",
               "asset_id_synthetic": "0x4254432d3130000000000000000000", "asset_id_collateral": "0x1",
               "position_id": "100", "is_buying_synthetic": True}
liquidation = {"liquidator_order": limit_order, "liquidated_position_id": "300",
               "actual_collateral": "64000000", "actual_synthetic": "1000", "actual_liquidator_fee": "32000"}
oracle_price = {"signer_key": packed_key, "external_price": "64000000000000000000000",
                "timestamp": "1764000000", "signed_asset_id": "0x425443555344000000000000000000004d616b6572"}

requests = [
    ("transfer", sdk.hash_transfer, sdk.sign_transfer, transfer),
    ("withdrawal", sdk.hash_withdraw, sdk.sign_withdraw, withdrawal),
    ("limit order", sdk.hash_limit_order, sdk.sign_limit_order, limit_order),
    ("liquidation", sdk.hash_liquidate, sdk.sign_liquidate, liquidation),
    ("signed oracle price", sdk.hash_signed_oracle_price, sdk.sign_signed_oracle_price, oracle_price),
]
for kind, hash_function, sign_function, request in requests:
    text = json.dumps(request)
    print()
    digest = show(f"{kind} hash", hash_function, text)
    signature = show(f"{kind} signature", sign_function, text, private_key)
    if digest and signature:
        parsed = json.loads(signature)
        show(f"{kind} signature verifies", sdk.verify_signature, parsed["r"], parsed["s"],
             packed_key, public_key["y"], digest)

print()
message = "0x0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"
signature = show("signature of a message", sdk.sign, private_key, message)
if signature:
    parsed = json.loads(signature)
    show("that signature verifies", sdk.verify_signature, parsed["r"], parsed["s"], packed_key,
         public_key["y"], message)
    show("...but not for another message", sdk.verify_signature, parsed["r"], parsed["s"], packed_key,
         public_key["y"], "0x1")
show("layer-one signature record", sdk.eth_sign, private_key, message)
show("public key is on the curve", sdk.is_on_curve, packed_key, public_key["y"])

print(f"\n{failures} call(s) failed" if failures else "\nall calls succeeded")
sys.exit(1 if failures else 0)
