"""Hash and sign a liquidation: the liquidator's limit order is what is hashed and signed.

    .venv/bin/python examples/liquidation.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("liquidation example: the liquidator's seed, 32+ bytes")
liquidator: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))

liquidator_order = {
    "nonce": "4",
    "public_key": liquidator["x"],
    "expiration_timestamp": "1764000000",
    "amount_synthetic": "1000",
    "amount_collateral": "64000000",
    "amount_fee": "32000",
    "asset_id_synthetic": "0x4254432d3130000000000000000000",
    "asset_id_collateral": "0x1",
    "position_id": "100",
    "is_buying_synthetic": True,
}
liquidation = {
    "liquidator_order": liquidator_order,  # a whole limit order, as a nested object
    "liquidated_position_id": "300",
    "actual_collateral": "64000000",
    "actual_synthetic": "1000",
    "actual_liquidator_fee": "32000",
}
request = json.dumps(liquidation)

digest = sdk.hash_liquidate(request)
signature: dict[str, str] = json.loads(sdk.sign_liquidate(request, private_key))
print(f"liquidation hash   {digest}")
print(f"signature          {json.dumps(signature)}")

# Only the liquidator's order is hashed; the other four members are checked but do not enter the hash.
if digest != sdk.hash_limit_order(json.dumps(liquidator_order)):
    sys.exit("the liquidation hash differs from the hash of its order")
# A liquidation may also be written as a JSON array of its five values, in the order above.
as_array = json.dumps([liquidator_order, "300", "64000000", "1000", "32000"])
if sdk.hash_liquidate(as_array) != digest:
    sys.exit("the array form hashes differently")
if not sdk.verify_signature(signature["r"], signature["s"], liquidator["x"], liquidator["y"], digest):
    sys.exit("the signature does not verify")
print("equals the hash of the liquidator's order; the array form hashes the same; the signature verifies")
