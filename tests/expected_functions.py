"""The function table of tarvo_python_sdk as a caller sees it, in registration order."""
import json
import pathlib

FUNCTIONS = [
    ("verify_signature", ("sig_r", "sig_s", "pub_key_x", "pub_key_y", "msg")),
    ("sign_withdraw", ("json", "pri_key")),
    ("sign_transfer", ("json", "pri_key")),
    ("sign_limit_order", ("json", "pri_key")),
    ("sign_liquidate", ("json", "pri_key")),
    ("sign_signed_oracle_price", ("json", "pri_key")),
    ("hash_withdraw", ("json",)),
    ("hash_transfer", ("json",)),
    ("hash_limit_order", ("json",)),
    ("hash_liquidate", ("json",)),
    ("hash_signed_oracle_price", ("json",)),
    ("sign", ("private_key", "msg")),
    ("eth_sign", ("private_key", "msg")),
    ("private_key_from_seed", ("seed",)),
    ("is_on_curve", ("x", "y")),
    ("public_key_to_xy", ("public_key",)),
    ("private_key_to_public_key_xy", ("private_key",)),
]

NAMES = [name for name, _ in FUNCTIONS]

# A signature (r, s) over some transfer: valid signature text, so verification goes on to parse its msg.
SIGNATURE_R = "0x0bd21dfcca03c329bcca483b0c89e332328e6636e418e227de8bc6f4314ffd5b"
SIGNATURE_S = "0x015f0e4fdca1bd142af5a95aab007aa4d5a1b20cab1fbe54582b74cb406bc8d3"

# The public key of private key 0: the packed identity point and its affine x-coordinate.
IDENTITY_PACKED = "0x" + "0" * 63 + "1"
IDENTITY_X = "0x" + "0" * 64

VALID_KEY = "0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde"

# Calls shared with the C library's test: for every function a call whose core work fails, calls whose
# texts hold NUL bytes or line breaks, and a few that succeed. A failure's "diagnostic" is the whole line
# the module writes to standard error, without its line feed.
BINDING_CALLS = json.loads((pathlib.Path(__file__).parent / "data" / "binding_calls.json").read_text(encoding="utf-8"))
FAILING_CALLS = [(call["function"], call["args"], call["diagnostic"]) for call in BINDING_CALLS if "diagnostic" in call]
