"""Derive a private key from a seed, then its public key in both forms.

    .venv/bin/python examples/keys_from_seed.py
"""

import json
import sys

import tarvo_python_sdk as sdk

# The seed is any text of at least 32 bytes (UTF-8); the same seed always gives the same key.
seed = "keys example: a seed of at least thirty-two bytes"
private_key = sdk.private_key_from_seed(seed)
print(f"private key        {private_key}")
if sdk.private_key_from_seed(seed) != private_key:
    sys.exit("the derivation is not deterministic")

# The public key: "x" is the packed key (the form used in requests: public_key, signer_key, ...), "y" is
# the affine x-coordinate of the point, which the packed form does not carry.
public_key: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))
print(f"packed public key  {public_key['x']}")
print(f"point x-coordinate {public_key['y']}")

# Unpacking the packed key gives the same pair; is_on_curve checks that the two belong together.
if json.loads(sdk.public_key_to_xy(public_key["x"])) != public_key:
    sys.exit("unpacking the packed key gives another pair")
on_curve = sdk.is_on_curve(public_key["x"], public_key["y"])
print(f"is_on_curve        {on_curve}")
if not on_curve:
    sys.exit("the key pair is not on the curve")
