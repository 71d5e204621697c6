/* A small shared library that the tests call from byte code: every
   argument and result kind, a caller's buffer to fill, a structure to fill,
   pointers that do not fit 32 bits, and functions that call back. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

static char described[256];
static int32_t marker_value = 7;

EXPORT int32_t kx_add3(int32_t a, int32_t b, int32_t c) { return a + b + c; }
EXPORT int32_t kx_negate(int32_t a) { return -a; }
EXPORT int32_t kx_minus_one(void) { return -1; }
EXPORT double kx_scale(double x, double factor) { return x * factor; }
EXPORT float kx_half(float x) { return x / 2.0f; }
EXPORT void kx_nothing(void) {}
EXPORT const char* kx_greeting(void) { return "hello from C"; }
EXPORT const char* kx_null_text(void) { return NULL; }

/* What arrived, one argument of each kind. */
EXPORT const char* kx_describe(uint32_t b, int32_t s, int32_t i, uint32_t w, int32_t l, float f, double d,
                               const char* t) {
  snprintf(described, sizeof described, "%u %d %d %u %d %g %g %s", b, s, i, w, l, (double)f, d, t);
  return described;
}

/* Twelve integers and four floats: more than the registers hold. */
EXPORT double kx_many(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6, int32_t a7,
                      int32_t a8, double d1, float f1, int32_t a9, int32_t a10, double d2, float f2) {
  return a1 + 2.0 * a2 + 3.0 * a3 + 4.0 * a4 + 5.0 * a5 + 6.0 * a6 + 7.0 * a7 + 8.0 * a8 + 9.0 * a9 +
         10.0 * a10 + d1 + f1 + d2 + f2;
}

/* Fills a caller's buffer of `size` bytes with `pattern` repeated and a
   terminating zero; returns the characters written. */
EXPORT int32_t kx_fill(char* buffer, int32_t size, const char* pattern) {
  size_t n = strlen(pattern);
  int32_t i = 0;
  if (size <= 0 || n == 0) return 0;
  for (; i < size - 1; ++i) buffer[i] = pattern[(size_t)i % n];
  buffer[i] = 0;
  return i;
}

/* Upper-cases a text in place. */
EXPORT void kx_upper(char* text) {
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = (char)(*text - 32);
}

struct kx_rect {
  int32_t left, top, right, bottom;
};

/* Fills a rectangle from its corner and size; returns its area. */
EXPORT int32_t kx_set_rect(struct kx_rect* r, int32_t left, int32_t top, int32_t width, int32_t height) {
  r->left = left;
  r->top = top;
  r->right = left + width;
  r->bottom = top + height;
  return width * height;
}

/* A pointer outside the low 4 GiB, and a check that it came back whole. */
EXPORT void* kx_pointer(void) { return &marker_value; }
EXPORT int32_t kx_check_pointer(const int32_t* p) { return p == &marker_value ? *p : -1; }

/* Sorts the characters of a text with the caller's comparison (negative,
   zero or positive); returns the comparisons made. */
EXPORT int32_t kx_sort_text(char* text, int32_t (*compare)(int32_t, int32_t)) {
  int32_t calls = 0;
  size_t n = strlen(text);
  for (size_t i = 1; i < n; ++i) {
    char c = text[i];
    size_t j = i;
    while (j > 0) {
      ++calls;
      if (compare((unsigned char)text[j - 1], (unsigned char)c) <= 0) break;
      text[j] = text[j - 1];
      --j;
    }
    text[j] = c;
  }
  return calls;
}

/* Calls `visit(index, square, count)` for 0 to count - 1 while it returns
   nonzero; returns the calls made. */
EXPORT int32_t kx_enumerate(int32_t count, int32_t (*visit)(int32_t, int32_t, int32_t)) {
  int32_t calls = 0;
  for (int32_t i = 0; i < count; ++i) {
    ++calls;
    if (visit(i, i * i, count) == 0) break;
  }
  return calls;
}

/* Calls a stub of the given arity with the arguments 1, 2, 3, ... */
typedef int64_t (*stub0)(void);
typedef int64_t (*stub6)(int64_t, int64_t, int64_t, int64_t, int64_t, int64_t);
EXPORT int64_t kx_call_arity(int32_t arity, void* stub) {
  switch (arity) {
    case 0: return ((stub0)stub)();
    case 1: return ((int64_t(*)(int64_t))stub)(1);
    case 2: return ((int64_t(*)(int64_t, int64_t))stub)(1, 2);
    case 3: return ((int64_t(*)(int64_t, int64_t, int64_t))stub)(1, 2, 3);
    case 4: return ((int64_t(*)(int64_t, int64_t, int64_t, int64_t))stub)(1, 2, 3, 4);
    case 5: return ((int64_t(*)(int64_t, int64_t, int64_t, int64_t, int64_t))stub)(1, 2, 3, 4, 5);
    default: return ((stub6)stub)(1, 2, 3, 4, 5, 6);
  }
}

/* Hands a pointer outside the low 4 GiB and -1 as a 32-bit value to a
   call-back of five arguments. */
EXPORT int64_t kx_call_with_pointer(int64_t (*f)(void*, int32_t, int32_t, int32_t, int32_t)) {
  return f(&marker_value, -1, 0, 0, 0);
}
