"""The function table of tarvo_python_sdk as a caller sees it, in registration order."""

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

# For every function, arguments whose core call fails with an error result, and the context text that
# the one-line diagnostic names before ": " and the error's own text.
FAILING_CALLS = [
    ("verify_signature", (SIGNATURE_R, SIGNATURE_S, IDENTITY_PACKED, "ignored", "zz"),
     "Couldn't get verify_signature result"),
    ("sign_withdraw", ("not json", VALID_KEY), "Couldn get jubjubSignature"),
    ("sign_transfer", ("not json", VALID_KEY), "Couldn get jubjubSignature"),
    ("sign_limit_order", ("not json", VALID_KEY), "Couldn get jubjubSignature"),
    ("sign_liquidate", ("not json", VALID_KEY), "Couldn get jubjubSignature"),
    ("sign_signed_oracle_price", ("not json", VALID_KEY), "Couldn get jubjubSignature"),
    ("hash_withdraw", ("not json",), "Couldn't get hash"),
    ("hash_transfer", ("not json",), "Couldn't get hash"),
    ("hash_limit_order", ("not json",), "Couldn't get hash"),
    ("hash_liquidate", ("not json",), "Couldn't get hash"),
    ("hash_signed_oracle_price", ("not json",), "Couldn't get hash"),
    ("sign", ("zz", "0x1"), "Couldn't sign msg"),
    ("eth_sign", ("zz", "0x1"), "Couldn't sign msg"),
    ("private_key_from_seed", ("short seed",), "Couldn't derive private key from seed"),
    ("is_on_curve", ("zz", "zz"), "Couldn't get verify xy is on curve"),
    ("public_key_to_xy", ("zz",), "Couldn't convert public key to xy"),
    ("private_key_to_public_key_xy", ("zz",), "Couldn't convert private key to public key xy"),
]
