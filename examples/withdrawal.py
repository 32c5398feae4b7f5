"""Hash and sign a withdrawal.

    .venv/bin/python examples/withdrawal.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("withdrawal example: the owner's seed, 32+ bytes")
owner: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))

withdrawal = {
    "nonce": "2",
    "public_key": owner["x"],
    "expiration_timestamp": "1764000000",
    "position_id": "100",
    "amount": "5000000",
    # the layer-one address that receives the funds, as hex text
    "eth_address": "0x00000000000000000000000000000000000000000000000000000000deadbeef",
    "asset_id": "0x1",
}
request = json.dumps(withdrawal)

digest = sdk.hash_withdraw(request)
signature: dict[str, str] = json.loads(sdk.sign_withdraw(request, private_key))
print(f"withdrawal request {request}")
print(f"withdrawal hash    {digest}")
print(f"signature          {json.dumps(signature)}")

if not sdk.verify_signature(signature["r"], signature["s"], owner["x"], owner["y"], digest):
    sys.exit("the signature does not verify")
print("the signature verifies")
