// The kinds of digest a summary may hold, and what each is called where the program meets it:
// on screen, in `--tag` lines, as a summary's extension, and in the settings file. Platform-free.
#ifndef VELMORA_DIGEST_DIGEST_KIND_H
#define VELMORA_DIGEST_DIGEST_KIND_H

#include <cstddef>

enum class DigestKind { kMd5, kSha1, kSha256, kSha512 };

enum {
  kDigestKindCount = 4,
  kMaxDigestSize = 64,                    // bytes of the longest digest (SHA-512)
  kMaxDigestDigits = 2 * kMaxDigestSize,  // its hex digits
  kDigestTextSize = kMaxDigestDigits + 1  // holds the text of any kind's digest
};

struct DigestKindInfo {
  DigestKind kind;
  const char* displayName;    // "SHA-256"
  const char* bsdTag;         // "SHA256", as in "SHA256 (name) = digits"
  const char* extension;      // "sha256", without the dot
  int digits;                 // hex digits of its text: 32, 40, 64, 128
  const char* settingsValue;  // "sha256"
};

const DigestKindInfo& KindInfo(DigestKind kind);

// The kind of that name, or null where none has it. An extension matches in any case; a BSD tag
// (its first length bytes) and a settings value match exactly.
const DigestKindInfo* KindByExtension(const char* extension);
const DigestKindInfo* KindBySettingsValue(const char* value);
const DigestKindInfo* KindByBsdTag(const char* tag, size_t length);
// The kind whose text has that many hex digits, or null.
const DigestKindInfo* KindByDigits(size_t digits);

// Bytes of the kind's digest.
inline size_t DigestSizeOf(DigestKind kind) {
  return static_cast<size_t>(KindInfo(kind).digits) / 2;
}

// The digest's text into text (kDigestTextSize bytes hold any kind's): lowercase hexadecimal,
// high nibble first, zero-terminated.
void DigestText(DigestKind kind, const unsigned char* digest, char* text);

#endif
