/* Signs a transfer with libtarvo and prints the signature JSON.
 *   cc sign_transfer.c $(pkg-config --cflags --libs tarvo) && ./a.out */
#include <stdio.h>
#include <string.h>
#include <tarvo.h>

int main(void) {
  const char* transfer =
      "{\"asset_id\":\"0x1\",\"sender_position_id\":\"1\",\"receiver_position_id\":\"2\","
      "\"amount\":\"100\",\"nonce\":\"1\",\"expiration_timestamp\":\"1700000000\","
      "\"public_key\":\"0x1\",\"receiver_public_key\":\"0x2\"}";
  const char* key = "0x00123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde";
  char* signature = NULL;
  char* error = NULL;
  if (tarvo_sign_transfer(transfer, strlen(transfer), key, strlen(key), &signature, &error) != TARVO_OK) {
    fprintf(stderr, "%s\n", error ? error : "out of memory");
    tarvo_free(error);
    return 1;
  }
  printf("%s\n", signature);
  tarvo_free(signature);
  return 0;
}
