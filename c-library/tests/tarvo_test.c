/* The C interface against the installed tarvo.h, driven by tables: the cross-check vectors and the
 * binding calls shared with the Python tests through every function, every status, texts with NUL bytes
 * and invalid UTF-8, tarvo_free wiping a text whole, and the same signatures from 8 threads as from one.
 *   tarvo_test DATA_DIR   (DATA_DIR: tests/data, holding golden/ and binding_calls.json) */
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tarvo.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

static int failures = 0;
static int checks = 0;

#define CHECK(condition, ...)                                       \
  do {                                                              \
    ++checks;                                                       \
    if (!(condition)) {                                             \
      ++failures;                                                   \
      fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #condition); \
      fprintf(stderr, __VA_ARGS__);                                 \
      fputc('\n', stderr);                                          \
    }                                                               \
  } while (0)

/* ---- What tarvo_free leaves in a text: seen where the library's free passes through this program. ---- */

#ifdef TARVO_TEST_WRAPPED_FREE
/* The static test is linked with --wrap=free, so every free of the library's objects comes here first. */
void __real_free(void* block);

static const char* watched_text; /* a text about to go to tarvo_free */
static size_t watched_size;
static bool watched_text_wiped;

void __wrap_free(void* block) {
  /* The library may keep a header before the text, so the block starts at most a little before it. */
  const uintptr_t start = (uintptr_t)block;
  const uintptr_t text = (uintptr_t)watched_text;
  if (watched_text != NULL && start <= text && text - start <= 64) {
    watched_text_wiped = true;
    for (size_t i = 0; i < watched_size; ++i) watched_text_wiped &= watched_text[i] == 0;
    watched_text = NULL;
  }
  __real_free(block);
}

/* tarvo_free wipes all `size` bytes of `text`, those after a NUL byte too, before it frees the text. */
static void check_wiped_when_freed(char* text, size_t size) {
  watched_text = text;
  watched_size = size;
  watched_text_wiped = false;
  tarvo_free(text);
  CHECK(watched_text == NULL && watched_text_wiped, "%zu bytes not wiped by tarvo_free", size);
}
#else
static void check_wiped_when_freed(char* text, size_t size) {
  (void)size;
  tarvo_free(text);
}
#endif

/* ---- A small JSON reader: enough for the data files (objects, arrays, strings, booleans, numbers). ---- */

enum json_type { JSON_NULL, JSON_BOOL, JSON_NUMBER, JSON_STRING, JSON_ARRAY, JSON_OBJECT };

typedef struct json {
  enum json_type type;
  char* text; /* string contents (not NUL-terminated inside: use size), or a member's key */
  size_t size;
  bool truth;
  struct json* items; /* array elements or object members; a member's key is its `key` */
  size_t count;
  char* key;
} json;

static void* checked_malloc(size_t size) {
  void* memory = malloc(size);
  if (memory == NULL) {
    fputs("out of memory\n", stderr);
    exit(2);
  }
  return memory;
}

static const char* skip_blanks(const char* p) {
  while (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') ++p;
  return p;
}

static unsigned hex4(const char* p) {
  unsigned value = 0;
  for (int i = 0; i < 4; ++i) {
    const char c = p[i];
    value = value * 16 + (unsigned)(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return value;
}

/* Reads a string starting after its opening quote into out (UTF-8, \u escapes and surrogate pairs
 * decoded); returns the position after the closing quote. */
static const char* read_string(const char* p, char** out, size_t* size) {
  size_t raw = 0; /* the decoded text is no longer than its JSON form */
  while (p[raw] != '"') raw += p[raw] == '\\' ? 2 : 1;
  char* text = checked_malloc(raw + 1);
  size_t n = 0;
  while (*p != '"') {
    if (*p != '\\') {
      text[n++] = *p++;
      continue;
    }
    const char escape = p[1];
    p += 2;
    if (escape != 'u') {
      const char* from = "\"\\/bfnrt";
      const char* to = "\"\\/\b\f\n\r\t";
      text[n++] = to[strchr(from, escape) - from];
      continue;
    }
    unsigned cp = hex4(p);
    p += 4;
    if (cp >= 0xd800 && cp < 0xdc00 && p[0] == '\\' && p[1] == 'u') {
      cp = 0x10000 + ((cp - 0xd800) << 10) + (hex4(p + 2) - 0xdc00);
      p += 6;
    }
    if (cp < 0x80) {
      text[n++] = (char)cp;
    } else if (cp < 0x800) {
      text[n++] = (char)(0xc0 | cp >> 6);
      text[n++] = (char)(0x80 | (cp & 0x3f));
    } else if (cp < 0x10000) {
      text[n++] = (char)(0xe0 | cp >> 12);
      text[n++] = (char)(0x80 | (cp >> 6 & 0x3f));
      text[n++] = (char)(0x80 | (cp & 0x3f));
    } else {
      text[n++] = (char)(0xf0 | cp >> 18);
      text[n++] = (char)(0x80 | (cp >> 12 & 0x3f));
      text[n++] = (char)(0x80 | (cp >> 6 & 0x3f));
      text[n++] = (char)(0x80 | (cp & 0x3f));
    }
  }
  text[n] = '\0';
  *out = text;
  *size = n;
  return p + 1;
}

static const char* read_value(const char* p, json* value);

/* Reads the elements (or members) of an array (object) starting after its opening bracket. */
static const char* read_items(const char* p, json* value, char close) {
  size_t capacity = 8;
  value->items = checked_malloc(capacity * sizeof(json));
  value->count = 0;
  p = skip_blanks(p);
  while (*p != close) {
    if (value->count == capacity) {
      capacity *= 2;
      json* grown = realloc(value->items, capacity * sizeof(json));
      if (grown == NULL) exit(2);
      value->items = grown;
    }
    json* item = &value->items[value->count++];
    char* key = NULL;
    if (close == '}') {
      size_t key_size = 0;
      p = read_string(skip_blanks(p) + 1, &key, &key_size);
      p = skip_blanks(p) + 1; /* ':' */
    }
    p = read_value(p, item);
    item->key = key;
    p = skip_blanks(p);
    if (*p == ',') p = skip_blanks(p + 1);
  }
  return p + 1;
}

static const char* read_value(const char* p, json* value) {
  memset(value, 0, sizeof *value);
  p = skip_blanks(p);
  switch (*p) {
    case '{':
      value->type = JSON_OBJECT;
      return read_items(p + 1, value, '}');
    case '[':
      value->type = JSON_ARRAY;
      return read_items(p + 1, value, ']');
    case '"':
      value->type = JSON_STRING;
      return read_string(p + 1, &value->text, &value->size);
    case 't':
    case 'f':
      value->type = JSON_BOOL;
      value->truth = *p == 't';
      return p + (value->truth ? 4 : 5);
    case 'n':
      return p + 4;
    default:
      value->type = JSON_NUMBER;
      while (strchr("+-.0123456789eE", *p) != NULL) ++p;
      return p;
  }
}

static void release(json* value) {
  for (size_t i = 0; i < value->count; ++i) {
    release(&value->items[i]);
    free(value->items[i].key);
  }
  free(value->items);
  free(value->text);
}

static const json* member(const json* object, const char* key) {
  for (size_t i = 0; i < object->count; ++i) {
    if (strcmp(object->items[i].key, key) == 0) return &object->items[i];
  }
  return NULL;
}

static json read_file(const char* directory, const char* name) {
  char path[4096];
  snprintf(path, sizeof path, "%s/%s", directory, name);
  FILE* file = fopen(path, "rb");
  if (file == NULL) {
    fprintf(stderr, "cannot open %s\n", path);
    exit(2);
  }
  fseek(file, 0, SEEK_END);
  const long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  char* contents = checked_malloc((size_t)size + 1);
  if (fread(contents, 1, (size_t)size, file) != (size_t)size) exit(2);
  contents[size] = '\0';
  fclose(file);
  json value;
  read_value(contents, &value);
  free(contents);
  return value;
}

/* ---- The functions of tarvo.h as one table. ---- */

typedef tarvo_status (*text1_fn)(const char*, size_t, char**, char**);
typedef tarvo_status (*text2_fn)(const char*, size_t, const char*, size_t, char**, char**);
typedef tarvo_status (*bool2_fn)(const char*, size_t, const char*, size_t, bool*, char**);
typedef tarvo_status (*bool5_fn)(const char*, size_t, const char*, size_t, const char*, size_t, const char*,
                                 size_t, const char*, size_t, bool*, char**);

typedef struct function {
  const char* name;
  size_t arity;
  bool boolean; /* the result is a truth value */
  const char* parameters[5];
  text1_fn text1;
  text2_fn text2;
  bool2_fn bool2;
  bool5_fn bool5;
} function;

#define TEXT1(NAME, A) {#NAME, 1, false, {A}, tarvo_##NAME, NULL, NULL, NULL}
#define TEXT2(NAME, A, B) {#NAME, 2, false, {A, B}, NULL, tarvo_##NAME, NULL, NULL}

static const function FUNCTIONS[] = {
    {"verify_signature", 5, true, {"sig_r", "sig_s", "pub_key_x", "pub_key_y", "msg"}, NULL, NULL, NULL,
     tarvo_verify_signature},
    TEXT2(sign_withdraw, "json", "pri_key"),
    TEXT2(sign_transfer, "json", "pri_key"),
    TEXT2(sign_limit_order, "json", "pri_key"),
    TEXT2(sign_liquidate, "json", "pri_key"),
    TEXT2(sign_signed_oracle_price, "json", "pri_key"),
    TEXT1(hash_withdraw, "json"),
    TEXT1(hash_transfer, "json"),
    TEXT1(hash_limit_order, "json"),
    TEXT1(hash_liquidate, "json"),
    TEXT1(hash_signed_oracle_price, "json"),
    TEXT2(sign, "private_key", "msg"),
    TEXT2(eth_sign, "private_key", "msg"),
    TEXT1(private_key_from_seed, "seed"),
    {"is_on_curve", 2, true, {"x", "y"}, NULL, NULL, tarvo_is_on_curve, NULL},
    TEXT1(public_key_to_xy, "public_key"),
    TEXT1(private_key_to_public_key_xy, "private_key"),
};
#define FUNCTION_COUNT (sizeof FUNCTIONS / sizeof FUNCTIONS[0])

typedef struct text {
  const char* data;
  size_t size;
} text;

static const function* function_named(const char* name) {
  for (size_t i = 0; i < FUNCTION_COUNT; ++i) {
    if (strcmp(FUNCTIONS[i].name, name) == 0) return &FUNCTIONS[i];
  }
  fprintf(stderr, "no function %s\n", name);
  exit(2);
}

static tarvo_status call(const function* f, const text* a, char** out, bool* result, char** error) {
  switch (f->arity) {
    case 1:
      return f->text1(a[0].data, a[0].size, out, error);
    case 2:
      return f->boolean ? f->bool2(a[0].data, a[0].size, a[1].data, a[1].size, result, error)
                        : f->text2(a[0].data, a[0].size, a[1].data, a[1].size, out, error);
    default:
      return f->bool5(a[0].data, a[0].size, a[1].data, a[1].size, a[2].data, a[2].size, a[3].data, a[3].size,
                      a[4].data, a[4].size, result, error);
  }
}

/* ---- Recorded calls: a result, or a failure with its diagnostic. ---- */

/* Runs every call of a data file. `exact`: the recorded diagnostic is the whole line; otherwise it is the
 * failure text that the line must contain (the cross-check vectors). */
static void recorded_calls(const char* directory, const char* name, bool exact) {
  json calls = read_file(directory, name);
  for (size_t i = 0; i < calls.count; ++i) {
    const json* entry = &calls.items[i];
    const function* f = function_named(member(entry, "function")->text);
    const json* args = member(entry, "args");
    text a[5];
    for (size_t k = 0; k < args->count; ++k) a[k] = (text){args->items[k].text, args->items[k].size};
    char* out = NULL;
    char* error = NULL;
    bool truth = false;
    const tarvo_status status = call(f, a, &out, &truth, &error);
    const json* expected = member(entry, "result");
    const json* diagnostic = member(entry, "diagnostic");
    if (expected != NULL) {
      CHECK(status == TARVO_OK && error == NULL, "%s #%zu %s: status %d, %s", name, i, f->name, status,
            error ? error : "");
      if (status == TARVO_OK && expected->type == JSON_BOOL) {
        CHECK(truth == expected->truth, "%s #%zu %s", name, i, f->name);
      } else if (status == TARVO_OK) {
        CHECK(strcmp(out, expected->text) == 0, "%s #%zu %s: %s", name, i, f->name, out);
      }
    } else {
      CHECK(status == TARVO_FAILED && out == NULL && error != NULL, "%s #%zu %s: status %d", name, i, f->name,
            status);
      if (status == TARVO_FAILED && diagnostic != NULL && exact) {
        /* memcmp: the line quotes a NUL byte where the failing argument holds one */
        CHECK(memcmp(error, diagnostic->text, diagnostic->size + 1) == 0, "%s #%zu %s: %s", name, i, f->name,
              error);
        if (memchr(diagnostic->text, '\0', diagnostic->size) != NULL) {
          check_wiped_when_freed(error, diagnostic->size);
          error = NULL;
        }
      } else if (status == TARVO_FAILED && diagnostic != NULL) {
        CHECK(strstr(error, diagnostic->text) != NULL, "%s #%zu %s: %s", name, i, f->name, error);
      } else if (status == TARVO_FAILED) {
        CHECK(strncmp(error, "tarvo_python_sdk: ", 18) == 0, "%s #%zu %s: %s", name, i, f->name, error);
      }
    }
    tarvo_free(out);
    tarvo_free(error);
  }
  printf("%s: %zu calls\n", name, calls.count);
  release(&calls);
}

/* ---- Statuses of bad arguments, for every function and parameter. ---- */

/* One text of every kind of malformed UTF-8: each lead byte class cut short after each of its bytes (at
 * the end of the text or before another character), its second byte just outside the range its lead
 * allows (overlong forms, surrogates, values above U+10FFFF), a later byte that is no continuation byte,
 * and the bytes that never lead; some after well-formed characters. */
static const char* const NOT_UTF8[] = {
    /* A continuation byte without a lead; the overlong two-byte forms. */
    "\x80", "\xbf", "ab\xbf", "\xc0\x80", "\xc1\xbf",
    /* C2..DF: cut short; no continuation byte. */
    "\xc2", "\xdf", "\xc2" "a", "\xdf\xc0",
    /* E0: cut short after each byte; overlong; no continuation byte. */
    "\xe0", "\xe0\xa0", "\xe0\xa0" "a", "\xe0\x9f\xbf", "\xe0\xa0\xc0",
    /* E1..EC. */
    "\xe1", "\xe1\x80", "\xe1\x7f\x80", "\xec\xc0\x80", "\xec\xbf\x7f",
    /* ED: cut short; the surrogates. */
    "\xed\x80", "\xed\xa0\x80", "\xed\xbf\xbf", "\xed\x7f\x80",
    /* EE..EF. */
    "\xee", "\xef\xbf", "\xee\xc0\x80", "\xef\xbf\xc0",
    /* F0: cut short after each byte; overlong; no continuation byte. */
    "\xf0", "\xf0\x90", "\xf0\x90\x80", "\xf0\x90\x80" "a", "\xf0\x8f\xbf\xbf", "\xf0\x90\x80\xc0",
    /* F1..F3. */
    "\xf1", "\xf1\x80", "\xf3\xbf\xbf", "\xf1\x7f\x80\x80", "\xf3\xc0\x80\x80", "\xf3\x80\x7f\x80",
    "\xf3\x80\x80\xc0",
    /* F4: cut short after each byte; above U+10FFFF; no continuation byte. */
    "\xf4", "\xf4\x8f", "\xf4\x8f\xbf", "\xf4\x90\x80\x80", "\xf4\xbf\xbf\xbf", "\xf4\x7f\x80\x80",
    "\xf4\x8f\xbf\xc0",
    /* Never a lead. */
    "\xf5\x80\x80\x80", "\xf7\xbf\xbf\xbf", "\xf8\x88\x80\x80\x80", "\xfe", "\xff",
    /* Cut short after a two-, a three- and a four-byte character. */
    "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xe2\x82",
};
#define NOT_UTF8_COUNT (sizeof NOT_UTF8 / sizeof NOT_UTF8[0])

/* Well-formed characters cut by the length given, their remaining bytes following in memory: only the
 * length tells where such a text ends. */
static const text CUT_UTF8[] = {
    {"\xc3\xa9", 1}, {"\xe2\x82\xac", 1}, {"\xe2\x82\xac", 2}, {"\xe0\xa0\x80", 2}, {"\xed\x9f\xbf", 2},
    {"\xf0\x9f\x98\x80", 1}, {"\xf0\x9f\x98\x80", 2}, {"\xf0\x9f\x98\x80", 3}, {"\xf4\x8f\xbf\xbf", 3},
    /* After a two-byte character. */
    {"a\xc3\xa9\xe2\x82\xac", 5},
};
#define CUT_UTF8_COUNT (sizeof CUT_UTF8 / sizeof CUT_UTF8[0])

/* The last ASCII character, the first and the last sequence of every lead byte class and those around the
 * surrogates, at the end of the text: well-formed, so the functions take them (and fail on their content
 * or succeed). */
static const char* const UTF8_EDGES[] = {
    "\x7f",
    "\xc2\x80",         "\xdf\xbf",         "\xe0\xa0\x80",     "\xe0\xbf\xbf",     "\xe1\x80\x80",
    "\xec\xbf\xbf",     "\xed\x80\x80",     "\xed\x9f\xbf",     "\xee\x80\x80",     "\xef\xbf\xbf",
    "\xf0\x90\x80\x80", "\xf0\xbf\xbf\xbf", "\xf1\x80\x80\x80", "\xf3\xbf\xbf\xbf", "\xf4\x80\x80\x80",
    "\xf4\x8f\xbf\xbf",
};
#define UTF8_EDGE_COUNT (sizeof UTF8_EDGES / sizeof UTF8_EDGES[0])

static void invalid_arguments(void) {
  for (size_t i = 0; i < FUNCTION_COUNT; ++i) {
    const function* f = &FUNCTIONS[i];
    for (size_t p = 0; p < f->arity; ++p) {
      text a[5];
      for (size_t k = 0; k < f->arity; ++k) a[k] = (text){"0x1", 3};
      char* out = NULL;
      char* error = NULL;
      bool truth = false;
      char quoted[64];
      snprintf(quoted, sizeof quoted, "'%s'", f->parameters[p]);

      a[p] = (text){NULL, 0};
      tarvo_status status = call(f, a, &out, &truth, &error);
      CHECK(status == TARVO_INVALID_ARGUMENT && out == NULL && error && strstr(error, quoted) &&
                strstr(error, "NULL"),
            "%s %s NULL: %d %s", f->name, quoted, status, error ? error : "");
      tarvo_free(error);

      for (size_t b = 0; b < NOT_UTF8_COUNT + CUT_UTF8_COUNT; ++b) {
        error = NULL;
        a[p] = b < NOT_UTF8_COUNT ? (text){NOT_UTF8[b], strlen(NOT_UTF8[b])} : CUT_UTF8[b - NOT_UTF8_COUNT];
        status = call(f, a, &out, &truth, &error);
        CHECK(status == TARVO_INVALID_ARGUMENT && out == NULL && error && strstr(error, quoted) &&
                  strstr(error, "UTF-8"),
              "%s %s not UTF-8 #%zu: %d %s", f->name, quoted, b, status, error ? error : "");
        tarvo_free(error);
      }
      for (size_t g = 0; g < UTF8_EDGE_COUNT; ++g) {
        error = NULL;
        a[p] = (text){UTF8_EDGES[g], strlen(UTF8_EDGES[g])};
        status = call(f, a, &out, &truth, &error);
        CHECK(status == TARVO_OK || status == TARVO_FAILED, "%s %s UTF-8 edge #%zu: %d %s", f->name, quoted, g,
              status, error ? error : "");
        tarvo_free(out);
        tarvo_free(error);
        out = NULL;
      }
      /* Without an error pointer the status alone comes back. */
      a[p] = (text){NOT_UTF8[0], 1};
      CHECK(call(f, a, &out, &truth, NULL) == TARVO_INVALID_ARGUMENT && out == NULL, "%s", f->name);
    }
    text a[5];
    for (size_t k = 0; k < f->arity; ++k) a[k] = (text){"0x1", 3};
    char* error = NULL;
    const tarvo_status status = call(f, a, NULL, NULL, &error);
    CHECK(status == TARVO_INVALID_ARGUMENT && error && strstr(error, f->boolean ? "'result'" : "'out'"), "%s: %s",
          f->name, error ? error : "");
    tarvo_free(error);
  }
}

/* A failure without an error pointer, and a function's texts that are not NUL-terminated. */
static void failures_and_lengths(void) {
  char* out = NULL;
  CHECK(tarvo_private_key_from_seed("short", 5, &out, NULL) == TARVO_FAILED && out == NULL, "no error pointer");
  const char seed[] = "0123456789abcdef0123456789abcdef and what follows is not part of the seed";
  char* whole = NULL;
  CHECK(tarvo_private_key_from_seed(seed, 32, &out, NULL) == TARVO_OK, "length, not NUL");
  CHECK(tarvo_private_key_from_seed(seed, 33, &whole, NULL) == TARVO_OK && strcmp(out, whole) != 0,
        "the length counts");
  tarvo_free(out);
  tarvo_free(whole);
  CHECK(strlen(tarvo_version()) > 0, "version");
  tarvo_free(NULL);
}

/* ---- TARVO_OUT_OF_MEMORY: every allocation fails while the address space is used up. ---- */

#if defined(__SANITIZE_ADDRESS__)
static void out_of_memory(void) { puts("out of memory: skipped under AddressSanitizer (its allocator aborts)"); }
#elif defined(_WIN32)
/* Windows has no limit on a process's address space (setrlimit): the hoard would take the whole machine's
 * memory before an allocation failed. */
static void out_of_memory(void) { puts("out of memory: skipped on Windows (no address space limit to run into)"); }
#else
static void out_of_memory(void) {
  struct rlimit saved;
  getrlimit(RLIMIT_AS, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = (rlim_t)4 << 30;
  if (saved.rlim_cur != RLIM_INFINITY && saved.rlim_cur < limited.rlim_cur) limited.rlim_cur = saved.rlim_cur;
  setrlimit(RLIMIT_AS, &limited);
  /* Take every block the allocator will give, large ones first, chained through their first word. */
  void* hoard = NULL;
  for (size_t size = (size_t)1 << 28; size >= sizeof(void*); size /= 2) {
    void* block;
    while ((block = malloc(size)) != NULL) {
      *(void**)block = hoard;
      hoard = block;
    }
  }
  const char* json = "{\"asset_id\":\"0x1\"}";
  char* out = NULL;
  char* error = NULL;
  const tarvo_status status = tarvo_hash_transfer(json, strlen(json), &out, &error);
  while (hoard != NULL) {
    void* next = *(void**)hoard;
    free(hoard);
    hoard = next;
  }
  setrlimit(RLIMIT_AS, &saved);
  CHECK(status == TARVO_OUT_OF_MEMORY && out == NULL && error == NULL, "status %d", status);
}
#endif

/* ---- 8 threads give the signatures that one gives. ---- */

enum { kThreads = 8, kRounds = 4 };

typedef struct signing_work {
  const json* calls;
  char** expected; /* per call, from one thread; NULL for calls that are not signatures */
  int mismatches;
} signing_work;

static void* sign_all(void* argument) {
  signing_work* work = argument;
  for (int round = 0; round < kRounds; ++round) {
    for (size_t i = 0; i < work->calls->count; ++i) {
      if (work->expected[i] == NULL) continue;
      const json* entry = &work->calls->items[i];
      const json* args = member(entry, "args");
      const function* f = function_named(member(entry, "function")->text);
      const text a[2] = {{args->items[0].text, args->items[0].size}, {args->items[1].text, args->items[1].size}};
      char* out = NULL;
      if (call(f, a, &out, NULL, NULL) != TARVO_OK || strcmp(out, work->expected[i]) != 0) ++work->mismatches;
      tarvo_free(out);
    }
  }
  return NULL;
}

static void threads(const char* directory) {
  json calls = read_file(directory, "golden/signatures.json");
  char** expected = checked_malloc(calls.count * sizeof(char*));
  size_t signatures = 0;
  for (size_t i = 0; i < calls.count; ++i) {
    const json* entry = &calls.items[i];
    const function* f = function_named(member(entry, "function")->text);
    expected[i] = NULL;
    if (f->arity != 2 || f->boolean || member(entry, "result") == NULL) continue;
    const json* args = member(entry, "args");
    const text a[2] = {{args->items[0].text, args->items[0].size}, {args->items[1].text, args->items[1].size}};
    CHECK(call(f, a, &expected[i], NULL, NULL) == TARVO_OK, "%s", f->name);
    ++signatures;
  }
  signing_work work[kThreads];
  pthread_t thread[kThreads];
  for (int t = 0; t < kThreads; ++t) {
    work[t] = (signing_work){&calls, expected, 0};
    CHECK(pthread_create(&thread[t], NULL, sign_all, &work[t]) == 0, "thread %d", t);
  }
  for (int t = 0; t < kThreads; ++t) {
    pthread_join(thread[t], NULL);
    CHECK(work[t].mismatches == 0, "thread %d: %d signatures differ", t, work[t].mismatches);
  }
  for (size_t i = 0; i < calls.count; ++i) tarvo_free(expected[i]);
  free(expected);
  release(&calls);
  printf("threads: %d threads x %d rounds x %zu signatures\n", kThreads, kRounds, signatures);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: tarvo_test DATA_DIR\n", stderr);
    return 2;
  }
  const char* directory = argv[1];
  printf("libtarvo %s\n", tarvo_version());
#if defined(_WIN32)
  puts("tarvo_free wiping whole texts: not checked on Windows (its linker cannot wrap the library's free)");
#endif
  recorded_calls(directory, "golden/hashes.json", false);
  recorded_calls(directory, "golden/signatures.json", false);
  recorded_calls(directory, "golden/keys.json", false);
  recorded_calls(directory, "golden/errors.json", false);
  recorded_calls(directory, "binding_calls.json", true);
  invalid_arguments();
  failures_and_lengths();
  out_of_memory();
  threads(directory);
  printf("%d checks, %d failed\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
