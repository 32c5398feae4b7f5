"""Sign a 256-bit message and verify the signature; a changed message or key does not verify.

    .venv/bin/python examples/verify_signature.py
"""

import json
import sys

import tarvo_python_sdk as sdk

private_key = sdk.private_key_from_seed("verification example: the signer's seed, 32+ bytes")
signer: dict[str, str] = json.loads(sdk.private_key_to_public_key_xy(private_key))

# Any 256-bit value as hex text: here a made-up digest; typically a hash from one of the hash_ functions.
message = "0x0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"
signature: dict[str, str] = json.loads(sdk.sign(private_key, message))
print(f"message            {message}")
print(f"signature          {json.dumps(signature)}")


def verifies(msg: str, packed_public_key: str) -> bool:
    # pub_key_y is accepted but not used: the packed key alone determines the point.
    return sdk.verify_signature(sig_r=signature["r"], sig_s=signature["s"], pub_key_x=packed_public_key,
                                pub_key_y="", msg=msg)


other_key: dict[str, str] = json.loads(
    sdk.private_key_to_public_key_xy(sdk.private_key_from_seed("verification example: another seed, 32+ bytes")))
checks = [
    ("the signer's key, the signed message", verifies(message, signer["x"]), True),
    ("the signer's key, another message", verifies("0x1", signer["x"]), False),
    ("another key, the signed message", verifies(message, other_key["x"]), False),
]
for label, result, expected in checks:
    print(f"{label:<40} {result}")
    if result is not expected:
        sys.exit(f"unexpected verification result for {label}")
