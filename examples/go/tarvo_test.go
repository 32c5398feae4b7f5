package tarvo

import (
	"errors"
	"strings"
	"testing"
)

const key = "0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde"
const transfer = `{"receiver_position_id":"4294967297","nonce":"1475705564367658","asset_id":"76ca797bb997190a2bab73456557d501d52efdd0b5c58dacff","amount":"80104","public_key":"000000000000000000000000000000000000000000000000000000000000001c","expiration_timestamp":"0011","receiver_public_key":"0xffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff","sender_position_id":"18446744073709551615"}`

func TestKnownAnswers(t *testing.T) {
	signature, err := SignTransfer(transfer, key)
	want := `{"r":"0x0bd21dfcca03c329bcca483b0c89e332328e6636e418e227de8bc6f4314ffd5b","s":"0x015f0e4fdca1bd142af5a95aab007aa4d5a1b20cab1fbe54582b74cb406bc8d3"}`
	if err != nil || signature != want {
		t.Fatalf("SignTransfer = %q, %v", signature, err)
	}
	r := "0xadf5989966420314f57d8dd246ef95fc560e941a1a34ee3ef4dc44f424baede8"
	s := "0x05d662fcfc8300888a1f113faf812376b49db0bda57ff00e6580f2b9f8da0a68"
	x := "0x8af3963e32f7a1cc3e973b4d9a359392a7ea5ae99c4203c0064badaa2f3f8f8d"
	for msg, want := range map[string]bool{"0x1234": true, "0x1235": false} {
		if valid, err := VerifySignature(r, s, x, "", msg); err != nil || valid != want {
			t.Errorf("VerifySignature(%s) = %v, %v", msg, valid, err)
		}
	}
}

func TestFailureCarriesStatusAndDiagnostic(t *testing.T) {
	_, err := PrivateKeyFromSeed("short")
	var failure *Error
	if !errors.As(err, &failure) || failure.Status != Failed ||
		failure.Diagnostic != "tarvo_python_sdk: Couldn't derive private key from seed: seed is too short" {
		t.Fatalf("PrivateKeyFromSeed(short) error = %v", err)
	}
	// A NUL byte is part of the text, not its end.
	if privateKey, err := PrivateKeyFromSeed(strings.Repeat("\x00", 32)); err != nil || privateKey != "0x011f5b99084c5c2e2d5e63488e0f7168d599a5c01fe9fec4c99605743da5e85c" {
		t.Fatalf("PrivateKeyFromSeed(32 NULs) = %q, %v", privateKey, err)
	}
	if _, err := HashTransfer("\xff"); !errors.As(err, &failure) || failure.Status != InvalidArgument {
		t.Fatalf("HashTransfer(invalid UTF-8) error = %v", err)
	}
}
