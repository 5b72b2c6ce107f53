// MD5 message digest (RFC 1321) over a byte stream fed in pieces of any length,
// and the 32-character lowercase text form of a finished digest.
#ifndef VELMORA_DIGEST_MD5_H
#define VELMORA_DIGEST_MD5_H

#include <cstdint>

// Running state of one digest, owned by the caller. The count is in bytes; the number of
// bytes waiting in the buffer is always countLow % 64.
struct Md5Context {
  uint32_t a, b, c, d;
  uint32_t countLow;
  uint32_t countHigh;
  unsigned char buffer[64];
};

enum { kDigestSize = 16 };

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const void* data, uint32_t length);
// Writes the digest and clears the whole context; Md5Init is needed before reuse.
void Md5Final(unsigned char digest[16], Md5Context* context);
// Lowercase hexadecimal, high nibble first, zero-terminated (33 bytes).
void DigestToHex(char text[33], const unsigned char digest[16]);

#endif
