"""Hash and sign a transfer, then check the signature against the sender's public key.

    .venv/bin/python examples/transfer.py
"""

import json
import sys

import tarvo_python_sdk as sdk

# Keys: a private key derived from a seed (at least 32 bytes) and its public key. The packed public
# key is "x"; "y" is the affine x-coordinate of the public key point.
private_key = sdk.private_key_from_seed("transfer example: sender's seed, 32 bytes or more")
sender: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))
receiver: dict[str, str] = json.loads(
    sdk.private_key_to_public_key_xy(sdk.private_key_from_seed("transfer example: the receiver's seed, 32+ bytes")))

# Every number is a JSON string: decimal for amounts, ids, nonces and timestamps, hexadecimal for
# asset ids and keys. The header (nonce, public_key, expiration_timestamp) sits beside the other keys.
transfer = {
    "nonce": "1",
    "public_key": sender["x"],
    "expiration_timestamp": "1764000000",
    "sender_position_id": "100",
    "receiver_public_key": receiver["x"],
    "receiver_position_id": "200",
    "amount": "25000000",
    "asset_id": "0x1",
}
request = json.dumps(transfer)

digest = sdk.hash_transfer(request)
signature: dict[str, str] = json.loads(sdk.sign_transfer(request, private_key))
print(f"transfer request   {request}")
print(f"transfer hash      {digest}")
print(f"signature r        {signature['r']}")
print(f"signature s        {signature['s']}")

# The transfer's signature is the signature of its hash.
if sdk.sign(private_key, digest) != sdk.sign_transfer(request, private_key):
    sys.exit("the transfer signature differs from the signature of its hash")
if not sdk.verify_signature(signature["r"], signature["s"], sender["x"], sender["y"], digest):
    sys.exit("the signature does not verify")
print("the signature verifies against the sender's public key")
