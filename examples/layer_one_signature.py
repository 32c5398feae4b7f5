"""Produce the layer-one signature record: the signature and the signer's key as separate coordinates.

    .venv/bin/python examples/layer_one_signature.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("layer-one example: the signer's seed, 32+ bytes")
message = "0x0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"

# Keys in this order: x, y (the signature point R), s (the signature scalar), pk_x (the packed public
# key) and pk_y (the affine x-coordinate of the public key point); each "0x" and 64 hex digits.
record: dict[str, str] = json.loads(sdk.eth_sign(private_key, message))
for name, value in record.items():
    print(f"{name:<5} {value}")

# The same signature as sign() gives, and the same key pair as private_key_to_public_key_xy().
signature: dict[str, str] = json.loads(sdk.sign(private_key, message))
public_key: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))
packed_r = int(record["y"], 16) | (int(record["x"], 16) & 1) << 255  # y, with the parity of x in bit 255
if (f"0x{packed_r:064x}", record["s"]) != (signature["r"], signature["s"]):
    sys.exit("the record's signature differs from sign()")
if (record["pk_x"], record["pk_y"]) != (public_key["x"], public_key["y"]):
    sys.exit("the record's public key differs from private_key_to_public_key_xy()")
print("matches sign() and private_key_to_public_key_xy()")
