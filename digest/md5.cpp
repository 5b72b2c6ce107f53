// MD5 as RFC 1321 defines it. The compression function is written out step by step with
// literal constants so the compiler keeps the four working values in registers.
#include "digest/md5.h"

#include <cstring>

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// The auxiliary functions, in forms that need one operation fewer than the textbook ones.
// The message word and constant go in first: they do not wait for b, the value the previous
// step has just produced, so the chain from one step to the next stays short.
inline uint32_t StepF(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wk, int s) {
  a += wk;
  a += ((c ^ d) & b) ^ d;
  return b + RotateLeft(a, s);
}
// G is (b & d) | (c & ~d); the two parts share no bit, so it is also their sum, and the part
// without b is added while b is still being computed.
inline uint32_t StepG(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wk, int s) {
  a += wk;
  a += c & ~d;
  a += b & d;
  return b + RotateLeft(a, s);
}
inline uint32_t StepH(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wk, int s) {
  a += wk;
  a += (c ^ d) ^ b;
  return b + RotateLeft(a, s);
}
inline uint32_t StepI(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t wk, int s) {
  a += wk;
  a += c ^ (b | ~d);
  return b + RotateLeft(a, s);
}

inline uint32_t LoadLittleEndian(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void StoreLittleEndian(unsigned char* p, uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  p[2] = static_cast<unsigned char>(value >> 16);
  p[3] = static_cast<unsigned char>(value >> 24);
}

}  // namespace

// The compression function applied to `count` consecutive blocks. Each block is first copied
// into the context's buffer (unless it is already there) and compressed from there. The
// chaining words stay in locals from one block to the next: going through the context for
// every block costs about 5% of the throughput.
static void Md5Transform(Md5Context* context, const unsigned char* input, uint32_t count) {
  uint32_t chainA = context->a, chainB = context->b, chainC = context->c, chainD = context->d;
  for (; count > 0; --count, input += 64) {
    if (input != context->buffer) std::memcpy(context->buffer, input, 64);
    const unsigned char* block = context->buffer;
    const uint32_t w0 = LoadLittleEndian(block), w1 = LoadLittleEndian(block + 4);
    const uint32_t w2 = LoadLittleEndian(block + 8), w3 = LoadLittleEndian(block + 12);
    const uint32_t w4 = LoadLittleEndian(block + 16), w5 = LoadLittleEndian(block + 20);
    const uint32_t w6 = LoadLittleEndian(block + 24), w7 = LoadLittleEndian(block + 28);
    const uint32_t w8 = LoadLittleEndian(block + 32), w9 = LoadLittleEndian(block + 36);
    const uint32_t w10 = LoadLittleEndian(block + 40), w11 = LoadLittleEndian(block + 44);
    const uint32_t w12 = LoadLittleEndian(block + 48), w13 = LoadLittleEndian(block + 52);
    const uint32_t w14 = LoadLittleEndian(block + 56), w15 = LoadLittleEndian(block + 60);
    uint32_t a = chainA, b = chainB, c = chainC, d = chainD;

    // Round 1
    a = StepF(a, b, c, d, w0 + 0xd76aa478u, 7);
    d = StepF(d, a, b, c, w1 + 0xe8c7b756u, 12);
    c = StepF(c, d, a, b, w2 + 0x242070dbu, 17);
    b = StepF(b, c, d, a, w3 + 0xc1bdceeeu, 22);
    a = StepF(a, b, c, d, w4 + 0xf57c0fafu, 7);
    d = StepF(d, a, b, c, w5 + 0x4787c62au, 12);
    c = StepF(c, d, a, b, w6 + 0xa8304613u, 17);
    b = StepF(b, c, d, a, w7 + 0xfd469501u, 22);
    a = StepF(a, b, c, d, w8 + 0x698098d8u, 7);
    d = StepF(d, a, b, c, w9 + 0x8b44f7afu, 12);
    c = StepF(c, d, a, b, w10 + 0xffff5bb1u, 17);
    b = StepF(b, c, d, a, w11 + 0x895cd7beu, 22);
    a = StepF(a, b, c, d, w12 + 0x6b901122u, 7);
    d = StepF(d, a, b, c, w13 + 0xfd987193u, 12);
    c = StepF(c, d, a, b, w14 + 0xa679438eu, 17);
    b = StepF(b, c, d, a, w15 + 0x49b40821u, 22);
    // Round 2
    a = StepG(a, b, c, d, w1 + 0xf61e2562u, 5);
    d = StepG(d, a, b, c, w6 + 0xc040b340u, 9);
    c = StepG(c, d, a, b, w11 + 0x265e5a51u, 14);
    b = StepG(b, c, d, a, w0 + 0xe9b6c7aau, 20);
    a = StepG(a, b, c, d, w5 + 0xd62f105du, 5);
    d = StepG(d, a, b, c, w10 + 0x02441453u, 9);
    c = StepG(c, d, a, b, w15 + 0xd8a1e681u, 14);
    b = StepG(b, c, d, a, w4 + 0xe7d3fbc8u, 20);
    a = StepG(a, b, c, d, w9 + 0x21e1cde6u, 5);
    d = StepG(d, a, b, c, w14 + 0xc33707d6u, 9);
    c = StepG(c, d, a, b, w3 + 0xf4d50d87u, 14);
    b = StepG(b, c, d, a, w8 + 0x455a14edu, 20);
    a = StepG(a, b, c, d, w13 + 0xa9e3e905u, 5);
    d = StepG(d, a, b, c, w2 + 0xfcefa3f8u, 9);
    c = StepG(c, d, a, b, w7 + 0x676f02d9u, 14);
    b = StepG(b, c, d, a, w12 + 0x8d2a4c8au, 20);
    // Round 3
    a = StepH(a, b, c, d, w5 + 0xfffa3942u, 4);
    d = StepH(d, a, b, c, w8 + 0x8771f681u, 11);
    c = StepH(c, d, a, b, w11 + 0x6d9d6122u, 16);
    b = StepH(b, c, d, a, w14 + 0xfde5380cu, 23);
    a = StepH(a, b, c, d, w1 + 0xa4beea44u, 4);
    d = StepH(d, a, b, c, w4 + 0x4bdecfa9u, 11);
    c = StepH(c, d, a, b, w7 + 0xf6bb4b60u, 16);
    b = StepH(b, c, d, a, w10 + 0xbebfbc70u, 23);
    a = StepH(a, b, c, d, w13 + 0x289b7ec6u, 4);
    d = StepH(d, a, b, c, w0 + 0xeaa127fau, 11);
    c = StepH(c, d, a, b, w3 + 0xd4ef3085u, 16);
    b = StepH(b, c, d, a, w6 + 0x04881d05u, 23);
    a = StepH(a, b, c, d, w9 + 0xd9d4d039u, 4);
    d = StepH(d, a, b, c, w12 + 0xe6db99e5u, 11);
    c = StepH(c, d, a, b, w15 + 0x1fa27cf8u, 16);
    b = StepH(b, c, d, a, w2 + 0xc4ac5665u, 23);
    // Round 4
    a = StepI(a, b, c, d, w0 + 0xf4292244u, 6);
    d = StepI(d, a, b, c, w7 + 0x432aff97u, 10);
    c = StepI(c, d, a, b, w14 + 0xab9423a7u, 15);
    b = StepI(b, c, d, a, w5 + 0xfc93a039u, 21);
    a = StepI(a, b, c, d, w12 + 0x655b59c3u, 6);
    d = StepI(d, a, b, c, w3 + 0x8f0ccc92u, 10);
    c = StepI(c, d, a, b, w10 + 0xffeff47du, 15);
    b = StepI(b, c, d, a, w1 + 0x85845dd1u, 21);
    a = StepI(a, b, c, d, w8 + 0x6fa87e4fu, 6);
    d = StepI(d, a, b, c, w15 + 0xfe2ce6e0u, 10);
    c = StepI(c, d, a, b, w6 + 0xa3014314u, 15);
    b = StepI(b, c, d, a, w13 + 0x4e0811a1u, 21);
    a = StepI(a, b, c, d, w4 + 0xf7537e82u, 6);
    d = StepI(d, a, b, c, w11 + 0xbd3af235u, 10);
    c = StepI(c, d, a, b, w2 + 0x2ad7d2bbu, 15);
    b = StepI(b, c, d, a, w9 + 0xeb86d391u, 21);

    chainA += a;
    chainB += b;
    chainC += c;
    chainD += d;
  }
  context->a = chainA;
  context->b = chainB;
  context->c = chainC;
  context->d = chainD;
}

void Md5Init(Md5Context* context) {
  context->a = 0x67452301u;
  context->b = 0xefcdab89u;
  context->c = 0x98badcfeu;
  context->d = 0x10325476u;
  context->countLow = 0;
  context->countHigh = 0;
}

void Md5Update(Md5Context* context, const void* data, uint32_t length) {
  const unsigned char* input = static_cast<const unsigned char*>(data);
  const uint32_t fill = context->countLow % 64;
  const uint32_t oldLow = context->countLow;
  context->countLow += length;
  if (context->countLow < oldLow) ++context->countHigh;

  const uint32_t space = 64 - fill;
  if (length < space) {
    if (length > 0) std::memcpy(context->buffer + fill, input, length);
    return;
  }
  // Every block goes through the context's own buffer, so the caller's data needs no alignment.
  std::memcpy(context->buffer + fill, input, space);
  Md5Transform(context, context->buffer, 1);
  input += space;
  length -= space;
  // Every full block is copied into the buffer and compressed there (Md5Transform).
  Md5Transform(context, input, length / 64);
  input += length - length % 64;
  length %= 64;
  if (length > 0) std::memcpy(context->buffer, input, length);
}

void Md5Final(unsigned char digest[16], Md5Context* context) {
  const uint32_t fill = context->countLow % 64;
  context->buffer[fill] = 0x80;
  if (fill <= 55) {
    std::memset(context->buffer + fill + 1, 0, 55 - fill);
  } else {
    // No room left for the length: the padding takes one more block.
    std::memset(context->buffer + fill + 1, 0, 63 - fill);
    Md5Transform(context, context->buffer, 1);
    std::memset(context->buffer, 0, 56);
  }
  StoreLittleEndian(context->buffer + 56, context->countLow << 3);
  StoreLittleEndian(context->buffer + 60, (context->countHigh << 3) | (context->countLow >> 29));
  Md5Transform(context, context->buffer, 1);

  StoreLittleEndian(digest, context->a);
  StoreLittleEndian(digest + 4, context->b);
  StoreLittleEndian(digest + 8, context->c);
  StoreLittleEndian(digest + 12, context->d);
  // Nothing of the data may stay behind in the caller's memory.
  std::memset(context, 0, sizeof(*context));
}

void DigestToHex(char text[33], const unsigned char digest[16]) {
  static const char kHexDigits[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    text[2 * i] = kHexDigits[digest[i] >> 4];
    text[2 * i + 1] = kHexDigits[digest[i] & 0x0f];
  }
  text[32] = '\0';
}
