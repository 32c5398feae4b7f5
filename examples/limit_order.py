"""Hash and sign a limit order, on both sides of the market.

    .venv/bin/python examples/limit_order.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("limit order example: the trader's seed, 32+ bytes")
trader: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))

order = {
    "nonce": "3",
    "public_key": trader["x"],
    "expiration_timestamp": "1764000000",
    "amount_synthetic": "1000",
    "amount_collateral": "64000000",
    "amount_fee": "32000",
    # the synthetic asset id is a signed 128-bit hex number (negative values are refused)
    "asset_id_synthetic": "0x4254432d3130000000000000000000",
    "asset_id_collateral": "0x1",
    "position_id": "100",
    "is_buying_synthetic": True,  # the only member that is a JSON literal rather than a string
}

for buying in (True, False):
    request = json.dumps({**order, "is_buying_synthetic": buying})
    digest = sdk.hash_limit_order(request)
    signature: dict[str, str] = json.loads(sdk.sign_limit_order(request, private_key))
    side = "buy " if buying else "sell"
    print(f"{side} order hash     {digest}")
    print(f"{side} order signature r {signature['r']}")
    if not sdk.verify_signature(signature["r"], signature["s"], trader["x"], trader["y"], digest):
        sys.exit("the signature does not verify")
print("both signatures verify")
