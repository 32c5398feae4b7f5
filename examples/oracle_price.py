"""Hash and sign an oracle price.

    .venv/bin/python examples/oracle_price.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("oracle price example: the oracle's seed, 32+ bytes")
oracle: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))

price = {
    "signer_key": oracle["x"],
    "external_price": "64000000000000000000000",  # unsigned 128-bit, decimal
    "timestamp": "1764000000",  # unsigned 32-bit, decimal
    "signed_asset_id": "0x425443555344000000000000000000004d616b6572",
}
request = json.dumps(price)

digest = sdk.hash_signed_oracle_price(request)
signature: dict[str, str] = json.loads(sdk.sign_signed_oracle_price(request, private_key))
print(f"oracle price hash  {digest}")
print(f"signature          {json.dumps(signature)}")

# An oracle price may also be written as a JSON array of its four values, in the order above.
if sdk.hash_signed_oracle_price(json.dumps(list(price.values()))) != digest:
    sys.exit("the array form hashes differently")
if not sdk.verify_signature(signature["r"], signature["s"], oracle["x"], oracle["y"], digest):
    sys.exit("the signature does not verify")
print("the array form hashes the same; the signature verifies")
