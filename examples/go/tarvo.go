// Package tarvo hashes and signs the exchange's transaction requests through libtarvo (tarvo.h). Every
// function returns its result, or an *Error carrying the library's status and diagnostic.
//
// The library is found with pkg-config (set PKG_CONFIG_PATH to the directory of tarvo.pc when it is
// installed elsewhere than the usual places); at run time libtarvo.so.0 must be on the loader's path.
package tarvo

/*
#cgo pkg-config: tarvo
#include <tarvo.h>

// Go calls a C function through a pointer by way of C: one caller per shape of function.
typedef tarvo_status (*text1_fn)(const char*, size_t, char**, char**);
typedef tarvo_status (*text2_fn)(const char*, size_t, const char*, size_t, char**, char**);
static tarvo_status call_text1(text1_fn f, const char* a, size_t an, char** out, char** error) {
  return f(a, an, out, error);
}
static tarvo_status call_text2(text2_fn f, const char* a, size_t an, const char* b, size_t bn, char** out,
                               char** error) {
  return f(a, an, b, bn, out, error);
}
*/
import "C"

import (
	"fmt"
	"unsafe"
)

// Status is a tarvo_status of tarvo.h.
type Status int

const (
	OK              Status = C.TARVO_OK
	Failed          Status = C.TARVO_FAILED // the inputs were rejected (the Python function raises ValueError)
	InvalidArgument Status = C.TARVO_INVALID_ARGUMENT
	OutOfMemory     Status = C.TARVO_OUT_OF_MEMORY
)

// Error is a failed call: its status and the library's text (empty when even that could not be allocated).
type Error struct {
	Status     Status
	Diagnostic string
}

func (e *Error) Error() string { return fmt.Sprintf("tarvo status %d: %s", e.Status, e.Diagnostic) }

var empty = [1]byte{}

// text is a Go string as the library reads it, without a copy: the library neither keeps nor changes it.
func text(s string) (*C.char, C.size_t) {
	if len(s) == 0 {
		return (*C.char)(unsafe.Pointer(&empty[0])), 0
	}
	return (*C.char)(unsafe.Pointer(unsafe.StringData(s))), C.size_t(len(s))
}

// take copies a text the library allocated and releases the library's copy.
func take(t *C.char) string {
	if t == nil {
		return ""
	}
	defer C.tarvo_free(t)
	return C.GoString(t)
}

func failure(status C.tarvo_status, diagnostic *C.char) error {
	if status == C.TARVO_OK {
		return nil
	}
	return &Error{Status: Status(status), Diagnostic: take(diagnostic)}
}

func text1(f C.text1_fn, a string) (string, error) {
	var out, diagnostic *C.char
	ap, an := text(a)
	if err := failure(C.call_text1(f, ap, an, &out, &diagnostic), diagnostic); err != nil {
		return "", err
	}
	return take(out), nil
}

func text2(f C.text2_fn, a, b string) (string, error) {
	var out, diagnostic *C.char
	ap, an := text(a)
	bp, bn := text(b)
	if err := failure(C.call_text2(f, ap, an, bp, bn, &out, &diagnostic), diagnostic); err != nil {
		return "", err
	}
	return take(out), nil
}

// SignWithdraw and the other Sign functions return the signature JSON {"r":"0x…","s":"0x…"} of a
// request given as JSON, signed with priKey.
func SignWithdraw(json, priKey string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign_withdraw), json, priKey)
}
func SignTransfer(json, priKey string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign_transfer), json, priKey)
}
func SignLimitOrder(json, priKey string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign_limit_order), json, priKey)
}
func SignLiquidate(json, priKey string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign_liquidate), json, priKey)
}
func SignSignedOraclePrice(json, priKey string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign_signed_oracle_price), json, priKey)
}

// HashWithdraw and the other Hash functions return the request's hash, "0x" and 64 lowercase
// hexadecimal digits.
func HashWithdraw(json string) (string, error) { return text1(C.text1_fn(C.tarvo_hash_withdraw), json) }
func HashTransfer(json string) (string, error) { return text1(C.text1_fn(C.tarvo_hash_transfer), json) }
func HashLimitOrder(json string) (string, error) {
	return text1(C.text1_fn(C.tarvo_hash_limit_order), json)
}
func HashLiquidate(json string) (string, error) {
	return text1(C.text1_fn(C.tarvo_hash_liquidate), json)
}
func HashSignedOraclePrice(json string) (string, error) {
	return text1(C.text1_fn(C.tarvo_hash_signed_oracle_price), json)
}

// Sign returns the signature JSON of the 256-bit message msg (hexadecimal).
func Sign(privateKey, msg string) (string, error) {
	return text2(C.text2_fn(C.tarvo_sign), privateKey, msg)
}

// EthSign returns the layer-one signature JSON {"x","y","s","pk_x","pk_y"} of msg.
func EthSign(privateKey, msg string) (string, error) {
	return text2(C.text2_fn(C.tarvo_eth_sign), privateKey, msg)
}

// PrivateKeyFromSeed derives a private key from a seed of at least 32 bytes.
func PrivateKeyFromSeed(seed string) (string, error) {
	return text1(C.text1_fn(C.tarvo_private_key_from_seed), seed)
}

// PublicKeyToXY returns the public key JSON {"x":"0x…","y":"0x…"} of a packed public key.
func PublicKeyToXY(publicKey string) (string, error) {
	return text1(C.text1_fn(C.tarvo_public_key_to_xy), publicKey)
}

// PrivateKeyToPublicKeyXY returns the public key JSON of a private key.
func PrivateKeyToPublicKeyXY(privateKey string) (string, error) {
	return text1(C.text1_fn(C.tarvo_private_key_to_public_key_xy), privateKey)
}

// VerifySignature reports whether (sigR, sigS) signs msg under the packed public key pubKeyX; pubKeyY is
// not used.
func VerifySignature(sigR, sigS, pubKeyX, pubKeyY, msg string) (bool, error) {
	var result C.bool
	var diagnostic *C.char
	rp, rn := text(sigR)
	sp, sn := text(sigS)
	xp, xn := text(pubKeyX)
	yp, yn := text(pubKeyY)
	mp, mn := text(msg)
	status := C.tarvo_verify_signature(rp, rn, sp, sn, xp, xn, yp, yn, mp, mn, &result, &diagnostic)
	if err := failure(status, diagnostic); err != nil {
		return false, err
	}
	return bool(result), nil
}

// IsOnCurve reports whether y is the affine x-coordinate of the point that the packed public key x encodes.
func IsOnCurve(x, y string) (bool, error) {
	var result C.bool
	var diagnostic *C.char
	xp, xn := text(x)
	yp, yn := text(y)
	if err := failure(C.tarvo_is_on_curve(xp, xn, yp, yn, &result, &diagnostic), diagnostic); err != nil {
		return false, err
	}
	return bool(result), nil
}

// Version is the library's version, "MAJOR.MINOR.PATCH".
func Version() string { return C.GoString(C.tarvo_version()) }
