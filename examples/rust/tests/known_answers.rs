//! Known answers through the safe wrappers, and how a failure reads.
use tarvo::Status;

const KEY: &str = "0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde";
const TRANSFER: &str = r#"{"receiver_position_id":"4294967297","nonce":"1475705564367658","asset_id":"76ca797bb997190a2bab73456557d501d52efdd0b5c58dacff","amount":"80104","public_key":"000000000000000000000000000000000000000000000000000000000000001c","expiration_timestamp":"0011","receiver_public_key":"0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff","sender_position_id":"18446744073709551615"}"#;

#[test]
fn transfer_signature_and_verification_give_the_known_answers() {
    assert_eq!(
        tarvo::sign_transfer(TRANSFER, KEY).unwrap(),
        r#"{"r":"0x0bd21dfcca03c329bcca483b0c89e332328e6636e418e227de8bc6f4314ffd5b","s":"0x015f0e4fdca1bd142af5a95aab007aa4d5a1b20cab1fbe54582b74cb406bc8d3"}"#
    );
    let (r, s) = (
        "0xadf5989966420314f57d8dd246ef95fc560e941a1a34ee3ef4dc44f424baede8",
        "0x05d662fcfc8300888a1f113faf812376b49db0bda57ff00e6580f2b9f8da0a68",
    );
    let x = "0x8af3963e32f7a1cc3e973b4d9a359392a7ea5ae99c4203c0064badaa2f3f8f8d";
    assert_eq!(tarvo::verify_signature(r, s, x, "", "0x1234"), Ok(true));
    assert_eq!(tarvo::verify_signature(r, s, x, "", "0x1235"), Ok(false));
}

#[test]
fn a_failure_carries_its_status_and_diagnostic() {
    let error = tarvo::private_key_from_seed("short").unwrap_err();
    assert_eq!(error.status, Status::Failed);
    assert_eq!(
        error.diagnostic,
        "tarvo_python_sdk: Couldn't derive private key from seed: seed is too short"
    );
    // A NUL byte is part of the text, not its end.
    assert_eq!(
        tarvo::private_key_from_seed(&"\0".repeat(32)).unwrap(),
        "0x011f5b99084c5c2e2d5e63488e0f7168d599a5c01fe9fec4c99605743da5e85c"
    );
    assert!(!tarvo::version().is_empty());
}
