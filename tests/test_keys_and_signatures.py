"""Keys, message signatures, verification and the layer-one record, end to end through the module."""
import json

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import tarvo_python_sdk as sdk

SUBGROUP_ORDER = 0x060C89CE5C263405370A08B6D0302B0BAB3EEDB83920EE0A677297DC392126F1
KEY = "0x" + "01" * 32
MESSAGE = "0x0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"

keys = st.integers(min_value=0, max_value=SUBGROUP_ORDER - 1).map(lambda k: f"0x{k:064x}")
messages = st.integers(min_value=0, max_value=2**256 - 1).map(lambda m: f"0x{m:064x}")


def public_key(private_key):
    return json.loads(sdk.private_key_to_public_key_xy(private_key))


def verify(signature_json, packed_key, message, pub_key_y="ignored"):
    signature = json.loads(signature_json)
    return sdk.verify_signature(signature["r"], signature["s"], packed_key, pub_key_y, message)


nonzero_keys = st.integers(min_value=1, max_value=SUBGROUP_ORDER - 1).map(lambda k: f"0x{k:064x}")


@settings(max_examples=25, deadline=None)
@given(nonzero_keys, messages)
def test_a_signature_verifies_for_its_key_and_message_only(private_key, message):
    signature = sdk.sign(private_key, message)
    packed = public_key(private_key)["x"]
    assert verify(signature, packed, message)
    other_message = f"0x{(int(message, 16) + 1) % 2**256:064x}"
    assert not verify(signature, packed, other_message)


@settings(max_examples=10, deadline=None)
@given(keys, messages)
def test_layer_one_record_matches_sign_and_the_public_key(private_key, message):
    record = json.loads(sdk.eth_sign(private_key, message))
    assert list(record) == ["x", "y", "s", "pk_x", "pk_y"]
    assert all(len(value) == 66 and value.startswith("0x") for value in record.values())
    signature = json.loads(sdk.sign(private_key, message))
    key = public_key(private_key)
    assert (record["pk_x"], record["pk_y"]) == (key["x"], key["y"])
    assert record["s"] == signature["s"]
    # r of sign is the packed form of (x, y): y with the parity of x in bit 255.
    packed_r = int(record["y"], 16) | ((int(record["x"], 16) & 1) << 255)
    assert signature["r"] == f"0x{packed_r:064x}"


def test_signatures_are_deterministic_and_compact():
    first = sdk.sign(KEY, MESSAGE)
    assert first == sdk.sign(KEY, MESSAGE)
    assert len(first) == 147 and " " not in first
    assert list(json.loads(first)) == ["r", "s"]


def test_any_change_of_signature_or_key_fails_verification():
    signature = json.loads(sdk.sign(KEY, MESSAGE))
    packed = public_key(KEY)["x"]
    s_plus_one = f"0x{int(signature['s'], 16) + 1:064x}"
    assert not sdk.verify_signature(signature["r"], s_plus_one, packed, "", MESSAGE)
    other_key = public_key("0x" + "02" * 32)["x"]
    assert not sdk.verify_signature(signature["r"], signature["s"], other_key, "", MESSAGE)
    other_r = json.loads(sdk.sign(KEY, "0x1"))["r"]
    assert not sdk.verify_signature(other_r, signature["s"], packed, "", MESSAGE)


def test_verification_ignores_pub_key_y():
    signature = sdk.sign(KEY, MESSAGE)
    packed = public_key(KEY)["x"]
    assert {verify(signature, packed, MESSAGE, y) for y in ["", "zz", "0x1", "not hex at all"]} == {True}


def test_message_prefix_rules():
    # sign parses msg with the single-"0x" hex rule; 0x alone is the value 0.
    assert sdk.sign(KEY, "0x") == sdk.sign(KEY, "0x0") == sdk.sign(KEY, "")
    # eth_sign trims every 0x, then every 0X, first.
    assert sdk.eth_sign(KEY, "0X0x12") == sdk.eth_sign(KEY, "0x0X12") == sdk.eth_sign(KEY, "0x12")
    assert sdk.eth_sign(KEY, "0x") == sdk.eth_sign(KEY, "0")


def test_eth_sign_binds_key_first_and_reports_key_errors_before_message_errors(call_outcome):
    kind, _, diagnostic = call_outcome(lambda: sdk.eth_sign("not a key!", "0xzz"))
    assert kind == "ValueError"
    assert "Couldn't sign msg: Invalid character 'n' at position 0" in diagnostic
    _, _, diagnostic = call_outcome(lambda: sdk.eth_sign(KEY, "0x0X12z4"))  # counted after the trimming
    assert "Couldn't sign msg: Invalid character 'z' at position 2" in diagnostic
    assert json.loads(sdk.eth_sign(private_key=KEY, msg=MESSAGE))["pk_x"] == public_key(KEY)["x"]


def test_sign_reports_message_errors_before_key_errors(call_outcome):
    _, _, diagnostic = call_outcome(lambda: sdk.sign("not a key", "0xzz"))
    assert "Couldn't sign msg: Invalid character 'z' at position 0" in diagnostic


def test_zero_key_has_the_neutral_public_key_and_verifies_anything():
    zero = "0x" + "0" * 64
    key = public_key(zero)
    assert key == {"x": "0x" + "0" * 63 + "1", "y": "0x" + "0" * 64}
    assert verify(sdk.sign(zero, MESSAGE), key["x"], "0x1")  # A is the neutral point: m·A vanishes


def test_public_key_text_is_echoed_after_prefix_trimming():
    address_x = "0x" + "0" * 64  # nonzero values below 2^160 are addresses: x is 0
    assert json.loads(sdk.public_key_to_xy("0X00ab")) == {"x": "0x00ab", "y": address_x}
    assert json.loads(sdk.public_key_to_xy("0x0x00AB")) == {"x": "0x00AB", "y": address_x}


def test_is_on_curve_compares_texts_byte_for_byte():
    key = public_key(KEY)
    assert sdk.is_on_curve(key["x"], key["y"])
    assert sdk.is_on_curve(key["x"][2:], "0x0x" + key["y"][2:])
    assert not sdk.is_on_curve(key["x"], key["y"].upper().replace("0X", "0x"))
    assert not sdk.is_on_curve(key["x"], "0x" + key["y"][3:])  # a leading zero digit dropped
    other = public_key("0x" + "02" * 32)
    assert not sdk.is_on_curve(key["x"], other["y"])


@pytest.mark.parametrize("seed, outcome", [
    ("a" * 31, None),
    ("a" * 32, "ok"),
    ("é" * 16, "ok"),  # 16 characters, 32 bytes
])
def test_seed_length_counts_bytes(seed, outcome, call_outcome):
    kind, value, diagnostic = call_outcome(lambda: sdk.private_key_from_seed(seed))
    if outcome is None:
        assert kind == "ValueError"
        assert "Couldn't derive private key from seed: seed is too short" in diagnostic
    else:
        assert kind == "value" and len(value) == 66 and int(value, 16) < SUBGROUP_ORDER
        assert sdk.private_key_from_seed(seed) == value


UNDECODABLE_KEY = f"0x{2**200 + 2:x}"  # no address: y = 2^200 + 2 has no x on the curve
S_AT_ORDER = f"0x{SUBGROUP_ORDER:x}"


# Several faults at once: the one reported is the first in the order r's text, s's text, R, s's range, the
# message's text, the key's text, the key's decoding ("0x1" is the neutral point's encoding).
@pytest.mark.parametrize("r, s, key, message, reported", [
    ("0xzz", "0xzz", "0xzz", "0xqq", "signature r is not a hexadecimal number"),
    ("0x1", "0xzz", "0xzz", "0xqq", "signature s is not a hexadecimal number"),
    ("0x2", S_AT_ORDER, UNDECODABLE_KEY, "0xqq", "Failed to restore R point from R_bar: not on curve"),
    ("0x1", S_AT_ORDER, UNDECODABLE_KEY, "0xqq", "signature scalar: "),
    ("0x1", "0x1", "0xzz", "0xqq", "Invalid character 'q'"),
    ("0x1", "0x1", "0xzz", "0x1", "Invalid character 'z'"),
    ("0x1", "0x1", UNDECODABLE_KEY, "0x1", "Failed to restore R point from R_bar: not on curve"),
])
def test_verification_reports_the_first_of_several_faults(r, s, key, message, reported, call_outcome):
    kind, _, diagnostic = call_outcome(lambda: sdk.verify_signature(r, s, key, "", message))
    assert kind == "ValueError" and len(diagnostic.splitlines()) == 1
    assert reported in diagnostic


@settings(max_examples=25, deadline=None)
@given(keys)
def test_public_key_of_a_private_key_is_the_unpacking_of_its_packed_form(private_key):
    derived = sdk.private_key_to_public_key_xy(private_key)
    assert derived == sdk.public_key_to_xy(json.loads(derived)["x"])


def test_internal_failure_text_is_reported_whole_even_past_a_nul(call_outcome):
    kind, _, diagnostic = call_outcome(lambda: sdk.verify_signature("0x12\x0034", "0x1", "0x1", "", "0x1"))
    assert kind == "ValueError"
    assert "Invalid character '\x00' at position 3" in diagnostic  # odd count: counted after the padding 0
    assert len(diagnostic.splitlines()) == 1
