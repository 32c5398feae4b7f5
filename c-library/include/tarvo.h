/* tarvo.h: the exchange's request hashes and signatures for C programs (C99 and C++).
 *
 * One function per function of the Python module tarvo_python_sdk, named tarvo_ and its Python name,
 * taking the same parameters in the same order. Every text is a pointer and a byte length and must be
 * UTF-8; it may hold NUL bytes and need not end with one. A text result is a NUL-terminated UTF-8 text
 * that the library allocates and the caller releases with tarvo_free; it is byte-identical to the Python
 * function's result.
 *
 * Every function returns a tarvo_status. On TARVO_OK, *out (or *result) holds the result and *error, when
 * `error` is not NULL, is NULL. On any other status nothing is stored in *out, and, when `error` is not
 * NULL, *error receives a text describing the failure (release it with tarvo_free) or NULL when even that
 * text could not be allocated:
 *   TARVO_FAILED            where the Python function raises ValueError; the text is the diagnostic line
 *                           the Python module writes to standard error, without its line feed (it holds
 *                           a NUL byte only where it quotes one from an argument);
 *   TARVO_INVALID_ARGUMENT  a NULL text, out or result pointer, or a text that is not valid UTF-8; the
 *                           text names the parameter;
 *   TARVO_OUT_OF_MEMORY     an allocation failed.
 * The library never writes to standard error or anywhere else. The functions are reentrant and may run on
 * any number of threads at once; they share only two read-only tables, built once on first use.
 */
#ifndef TARVO_H
#define TARVO_H

#include <stdbool.h>
#include <stddef.h>

/* TARVO_API marks the library's functions, the only symbols a shared build of it exports: the library's
 * own build defines TARVO_BUILDING. Callers need no mark on Windows (the import library's entries lead to
 * the DLL), and none when they link the static library. */
#if defined(TARVO_BUILDING) && defined(_WIN32)
#define TARVO_API __declspec(dllexport)
#elif defined(TARVO_BUILDING) && defined(__GNUC__)
#define TARVO_API __attribute__((visibility("default")))
#else
#define TARVO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum tarvo_status {
  TARVO_OK = 0,
  TARVO_FAILED = 1,
  TARVO_INVALID_ARGUMENT = 2,
  TARVO_OUT_OF_MEMORY = 3
} tarvo_status;

/* The library's version, "MAJOR.MINOR.PATCH"; a static text. */
TARVO_API const char* tarvo_version(void);

/* Releases a result or error text, wiping all of it first (a result can be a private key). NULL: nothing. */
TARVO_API void tarvo_free(char* text);

/* Whether (sig_r, sig_s) signs msg under the packed public key pub_key_x; pub_key_y is not used. */
TARVO_API tarvo_status tarvo_verify_signature(const char* sig_r, size_t sig_r_len, const char* sig_s,
                                              size_t sig_s_len, const char* pub_key_x, size_t pub_key_x_len,
                                              const char* pub_key_y, size_t pub_key_y_len, const char* msg,
                                              size_t msg_len, bool* result, char** error);

/* The signature JSON {"r":"0x…","s":"0x…"} of a request given as JSON, signed with pri_key. */
TARVO_API tarvo_status tarvo_sign_withdraw(const char* json, size_t json_len, const char* pri_key,
                                           size_t pri_key_len, char** out, char** error);
TARVO_API tarvo_status tarvo_sign_transfer(const char* json, size_t json_len, const char* pri_key,
                                           size_t pri_key_len, char** out, char** error);
TARVO_API tarvo_status tarvo_sign_limit_order(const char* json, size_t json_len, const char* pri_key,
                                              size_t pri_key_len, char** out, char** error);
TARVO_API tarvo_status tarvo_sign_liquidate(const char* json, size_t json_len, const char* pri_key,
                                            size_t pri_key_len, char** out, char** error);
TARVO_API tarvo_status tarvo_sign_signed_oracle_price(const char* json, size_t json_len, const char* pri_key,
                                                      size_t pri_key_len, char** out, char** error);

/* The request's hash, "0x" and 64 lowercase hexadecimal digits. */
TARVO_API tarvo_status tarvo_hash_withdraw(const char* json, size_t json_len, char** out, char** error);
TARVO_API tarvo_status tarvo_hash_transfer(const char* json, size_t json_len, char** out, char** error);
TARVO_API tarvo_status tarvo_hash_limit_order(const char* json, size_t json_len, char** out, char** error);
TARVO_API tarvo_status tarvo_hash_liquidate(const char* json, size_t json_len, char** out, char** error);
TARVO_API tarvo_status tarvo_hash_signed_oracle_price(const char* json, size_t json_len, char** out,
                                                      char** error);

/* The signature JSON of the 256-bit message msg (hexadecimal). */
TARVO_API tarvo_status tarvo_sign(const char* private_key, size_t private_key_len, const char* msg,
                                  size_t msg_len, char** out, char** error);
/* The layer-one signature JSON {"x","y","s","pk_x","pk_y"} of msg. */
TARVO_API tarvo_status tarvo_eth_sign(const char* private_key, size_t private_key_len, const char* msg,
                                      size_t msg_len, char** out, char** error);
/* A private key, "0x" and 64 hexadecimal digits, derived from a seed of at least 32 bytes. */
TARVO_API tarvo_status tarvo_private_key_from_seed(const char* seed, size_t seed_len, char** out,
                                                   char** error);
/* Whether y is the affine x-coordinate of the point that the packed public key x encodes. */
TARVO_API tarvo_status tarvo_is_on_curve(const char* x, size_t x_len, const char* y, size_t y_len,
                                         bool* result, char** error);
/* The public key JSON {"x":"0x…","y":"0x…"}: the packed key and its point's affine x-coordinate. */
TARVO_API tarvo_status tarvo_public_key_to_xy(const char* public_key, size_t public_key_len, char** out,
                                              char** error);
TARVO_API tarvo_status tarvo_private_key_to_public_key_xy(const char* private_key, size_t private_key_len,
                                                          char** out, char** error);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */
