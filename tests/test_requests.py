"""Hashing and signing of transaction requests, end to end through the module."""
import json

import pytest

import tarvo_python_sdk as sdk

KEY = "0x" + "05" * 32
HEADER = {"nonce": "7", "public_key": "0x1234", "expiration_timestamp": "8"}
ORDER = {**HEADER, "asset_id_synthetic": "0x1", "asset_id_collateral": "0x2", "amount_synthetic": "3",
         "amount_collateral": "4", "amount_fee": "5", "position_id": "6", "is_buying_synthetic": True}
LIQUIDATION = {"liquidator_order": ORDER, "liquidated_position_id": "9", "actual_collateral": "10",
               "actual_synthetic": "11", "actual_liquidator_fee": "12"}
TRANSFER = {**HEADER, "asset_id": "0x4", "sender_position_id": "1", "receiver_position_id": "2",
            "amount": "3", "receiver_public_key": "0x99"}
WITHDRAWAL = {**HEADER, "position_id": "2", "amount": "3", "eth_address": "0x1234", "asset_id": "0x4"}
ORACLE = {"signer_key": "0x5", "external_price": "2", "timestamp": "3", "signed_asset_id": "0x1"}

KINDS = [
    (sdk.hash_transfer, sdk.sign_transfer, TRANSFER),
    (sdk.hash_withdraw, sdk.sign_withdraw, WITHDRAWAL),
    (sdk.hash_limit_order, sdk.sign_limit_order, ORDER),
    (sdk.hash_liquidate, sdk.sign_liquidate, LIQUIDATION),
    (sdk.hash_signed_oracle_price, sdk.sign_signed_oracle_price, ORACLE),
]


@pytest.mark.parametrize("hash_function, sign_function, payload", KINDS)
def test_request_signature_is_the_signature_of_its_hash(hash_function, sign_function, payload):
    text = json.dumps(payload)
    digest = hash_function(text)
    assert len(digest) == 66 and digest.startswith("0x") and digest == digest.lower()
    signature = sign_function(text, KEY)
    assert signature == sdk.sign(KEY, digest)
    parsed = json.loads(signature)
    packed = json.loads(sdk.private_key_to_public_key_xy(KEY))["x"]
    assert sdk.verify_signature(parsed["r"], parsed["s"], packed, "", digest)


def test_liquidation_hashes_its_order_alone():
    other_figures = {**LIQUIDATION, "liquidated_position_id": "1", "actual_collateral": "0",
                     "actual_synthetic": "18446744073709551615", "actual_liquidator_fee": "+0"}
    expected = sdk.hash_limit_order(json.dumps(ORDER))
    assert sdk.hash_liquidate(json.dumps(LIQUIDATION)) == expected
    assert sdk.hash_liquidate(json.dumps(other_figures)) == expected
    as_array = [ORDER, "9", "10", "11", "12"]
    assert sdk.hash_liquidate(json.dumps(as_array)) == expected


@pytest.mark.parametrize("hash_function, payload, member, value", [
    (sdk.hash_transfer, TRANSFER, "receiver_public_key", "0x7"),
    (sdk.hash_transfer, TRANSFER, "public_key", "0x8"),
    (sdk.hash_signed_oracle_price, ORACLE, "signer_key", "0xabc"),
])
def test_members_outside_the_layout_do_not_change_the_hash(hash_function, payload, member, value):
    assert hash_function(json.dumps({**payload, member: value})) == hash_function(json.dumps(payload))


def test_withdrawal_to_another_address_hashes_differently():
    own = sdk.hash_withdraw(json.dumps(WITHDRAWAL))
    assert sdk.hash_withdraw(json.dumps({**WITHDRAWAL, "eth_address": "0x1235"})) != own


def test_extra_keys_of_any_value_are_ignored():
    extra = {**TRANSFER, "memo": {"nested": [1, 2.5, None, True]}, "tags": []}
    assert sdk.hash_transfer(json.dumps(extra)) == sdk.hash_transfer(json.dumps(TRANSFER))


def test_message_errors_win_over_key_errors(call_outcome):
    bad_order = json.dumps({**ORDER, "asset_id_synthetic": "0x-1"})
    kind, _, diagnostic = call_outcome(lambda: sdk.sign_limit_order(bad_order, "not a key"))
    assert kind == "ValueError"
    assert ("Couldn get jubjubSignature: Unsigned integer can't be created from negative value"
            in diagnostic)
    kind, _, diagnostic = call_outcome(lambda: sdk.sign_transfer(json.dumps(TRANSFER), "0x12"))
    assert "Couldn get jubjubSignature: Incorrect input size. Actual: 1, expected: 32" in diagnostic


def test_negative_synthetic_asset_parses_but_cannot_be_hashed(call_outcome):
    text = json.dumps({**ORDER, "asset_id_synthetic": "0x-5"})
    kind, _, diagnostic = call_outcome(lambda: sdk.hash_limit_order(text))
    assert kind == "ValueError"
    assert diagnostic.strip().endswith("Couldn't get hash: Unsigned integer can't be created from negative value")
