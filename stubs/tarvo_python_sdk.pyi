"""Poseidon hashing and Baby Jubjub EdDSA signing of exchange transaction requests.

Every function takes ``str`` arguments, by position or by keyword, and returns ``str`` or ``bool``.
Hex texts in results are "0x" followed by exactly 64 lowercase hexadecimal digits. A private key text
is 64 hexadecimal digits (leading "0x" allowed) whose value is below the order of the curve's
prime-order subgroup, as returned by `private_key_from_seed`.

Failures: an argument that is missing, repeated or not a ``str`` raises ``TypeError`` before any work
is done. Any failure of the work itself (malformed JSON, a bad key, a value out of range, a point not on
the curve) raises ``ValueError("Any { .. }")``, always with that same message; the reason is written as
one line to the process's standard error (file descriptor 2), for example
``tarvo_python_sdk: Couldn't get hash: missing field `nonce` at line 1 column 132``.
"""

__all__ = [
    "verify_signature",
    "sign_withdraw",
    "sign_transfer",
    "sign_limit_order",
    "sign_liquidate",
    "sign_signed_oracle_price",
    "hash_withdraw",
    "hash_transfer",
    "hash_limit_order",
    "hash_liquidate",
    "hash_signed_oracle_price",
    "sign",
    "eth_sign",
    "private_key_from_seed",
    "is_on_curve",
    "public_key_to_xy",
    "private_key_to_public_key_xy",
]

def verify_signature(sig_r: str, sig_s: str, pub_key_x: str, pub_key_y: str, msg: str) -> bool:
    """Checks an EdDSA signature over a 256-bit message.

    sig_r, sig_s: the "r" and "s" texts of a signature JSON (as returned by `sign`).
    pub_key_x: the packed public key (the "x" of `private_key_to_public_key_xy`).
    pub_key_y: accepted for symmetry and ignored; any text will do.
    msg: the message as hex text, at most 64 digits after one optional "0x".

    Returns True if the signature is valid for that key and message, else False.

    Raises ValueError("Any { .. }") if msg or pub_key_x is not hex text, the key is not a curve
    point, or sig_r/sig_s are malformed; the reason goes to standard error.
    """

def sign_withdraw(json: str, pri_key: str) -> str:
    """Signs a withdrawal request.

    json: the request as JSON text: nonce, public_key, expiration_timestamp, position_id, amount,
    eth_address, asset_id (numbers as JSON strings).
    pri_key: the private key text.

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each) over `hash_withdraw(json)`.

    Raises ValueError("Any { .. }") if the request or the key is malformed; the reason goes to
    standard error.
    """

def sign_transfer(json: str, pri_key: str) -> str:
    """Signs a transfer request.

    json: the request as JSON text: nonce, public_key, expiration_timestamp, sender_position_id,
    receiver_public_key, receiver_position_id, amount, asset_id (numbers as JSON strings).
    pri_key: the private key text.

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each) over `hash_transfer(json)`.

    Raises ValueError("Any { .. }") if the request or the key is malformed; the reason goes to
    standard error.
    """

def sign_limit_order(json: str, pri_key: str) -> str:
    """Signs a limit order request.

    json: the request as JSON text: nonce, public_key, expiration_timestamp, amount_synthetic,
    amount_collateral, amount_fee, asset_id_synthetic, asset_id_collateral, position_id (numbers as
    JSON strings) and is_buying_synthetic (JSON true or false).
    pri_key: the private key text.

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each) over
    `hash_limit_order(json)`.

    Raises ValueError("Any { .. }") if the request or the key is malformed, or asset_id_synthetic is
    negative; the reason goes to standard error.
    """

def sign_liquidate(json: str, pri_key: str) -> str:
    """Signs a liquidation request: the signature of its liquidator_order.

    json: the request as JSON text: liquidator_order (a limit order object), liquidated_position_id,
    actual_collateral, actual_synthetic, actual_liquidator_fee; or a JSON array of these five values.
    pri_key: the private key text.

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each) over `hash_liquidate(json)`.

    Raises ValueError("Any { .. }") if the request or the key is malformed; the reason goes to
    standard error.
    """

def sign_signed_oracle_price(json: str, pri_key: str) -> str:
    """Signs an oracle price.

    json: the request as JSON text: signer_key, external_price, timestamp, signed_asset_id (JSON
    strings); or a JSON array of these four values.
    pri_key: the private key text.

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each) over
    `hash_signed_oracle_price(json)`.

    Raises ValueError("Any { .. }") if the request or the key is malformed; the reason goes to
    standard error.
    """

def hash_withdraw(json: str) -> str:
    """Hashes a withdrawal request (JSON text, keys as for `sign_withdraw`).

    Returns the Poseidon hash as hex text: "0x" and 64 lowercase hexadecimal digits.

    Raises ValueError("Any { .. }") if the request is malformed; the reason goes to standard error.
    """

def hash_transfer(json: str) -> str:
    """Hashes a transfer request (JSON text, keys as for `sign_transfer`).

    Returns the Poseidon hash as hex text: "0x" and 64 lowercase hexadecimal digits.

    Raises ValueError("Any { .. }") if the request is malformed; the reason goes to standard error.
    """

def hash_limit_order(json: str) -> str:
    """Hashes a limit order request (JSON text, keys as for `sign_limit_order`).

    Returns the Poseidon hash as hex text: "0x" and 64 lowercase hexadecimal digits.

    Raises ValueError("Any { .. }") if the request is malformed or asset_id_synthetic is negative;
    the reason goes to standard error.
    """

def hash_liquidate(json: str) -> str:
    """Hashes a liquidation request (JSON text, keys as for `sign_liquidate`).

    Returns the hash of its liquidator_order, equal to `hash_limit_order` of that order: "0x" and 64
    lowercase hexadecimal digits. The other four members are checked but not hashed.

    Raises ValueError("Any { .. }") if the request is malformed; the reason goes to standard error.
    """

def hash_signed_oracle_price(json: str) -> str:
    """Hashes an oracle price (JSON text, keys as for `sign_signed_oracle_price`).

    Returns the Poseidon hash as hex text: "0x" and 64 lowercase hexadecimal digits.

    Raises ValueError("Any { .. }") if the request is malformed; the reason goes to standard error.
    """

def sign(private_key: str, msg: str) -> str:
    """Signs a 256-bit message.

    private_key: the private key text.
    msg: the message as hex text, at most 64 digits after one optional "0x" (a hash of this module, for
    example).

    Returns the signature JSON '{"r":"0x…","s":"0x…"}' (64 hex digits each); deterministic.

    Raises ValueError("Any { .. }") if msg is not hex text or the key is malformed; the reason goes to
    standard error.
    """

def eth_sign(private_key: str, msg: str) -> str:
    """Signs a 256-bit message and returns the layer-one signature record.

    private_key: the private key text.
    msg: the message as hex text; leading "0x" and "0X" prefixes are removed first.

    Returns the JSON '{"x":…,"y":…,"s":…,"pk_x":…,"pk_y":…}', each value "0x" and 64 hex digits:
    x, y the affine coordinates of the signature point R, s the signature scalar (as in `sign`), pk_x
    the packed public key and pk_y the affine x-coordinate of the public key point.

    Raises ValueError("Any { .. }") if the key or msg is malformed (the key is checked first); the
    reason goes to standard error.
    """

def private_key_from_seed(seed: str) -> str:
    """Derives a private key from a seed of at least 32 bytes (UTF-8), deterministically.

    Returns the private key text: "0x" and 64 lowercase hexadecimal digits.

    Raises ValueError("Any { .. }") if the seed is shorter than 32 bytes; the reason ("seed is too
    short") goes to standard error.
    """

def is_on_curve(x: str, y: str) -> bool:
    """Tells whether y is the affine x-coordinate of the point whose packed public key is x.

    x: a packed public key as hex text; y: the coordinate as returned by `public_key_to_xy` (compared
    as text: lowercase, all 64 digits).

    Returns True on a match, else False.

    Raises ValueError("Any { .. }") if x is not hex text or not a packed curve point; the reason goes to
    standard error.
    """

def public_key_to_xy(public_key: str) -> str:
    """Unpacks a packed public key.

    public_key: the packed public key as hex text (leading "0x"/"0X" prefixes allowed).

    Returns the JSON '{"x":…,"y":…}': x is "0x" and the given digits unchanged, y the affine
    x-coordinate of the point ("0x" and 64 digits; "0x" and 64 zeros for a nonzero value below 2**160,
    which is read as an address).

    Raises ValueError("Any { .. }") if public_key is not hex text or not a packed curve point; the reason
    goes to standard error.
    """

def private_key_to_public_key_xy(private_key: str) -> str:
    """Derives the public key of a private key.

    Returns the JSON '{"x":…,"y":…}': x the packed public key ("0x" and 64 digits), y the affine
    x-coordinate of the public key point ("0x" and 64 digits).

    Raises ValueError("Any { .. }") if the private key is malformed; the reason goes to standard error.
    """
