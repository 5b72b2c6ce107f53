#include "digest/digest_kind.h"

#include <cstring>

#include "common/paths.h"

namespace {

const DigestKindInfo kKinds[kDigestKindCount] = {
    {DigestKind::kMd5, "MD5", "MD5", "md5", 32, "md5"},
    {DigestKind::kSha1, "SHA-1", "SHA1", "sha1", 40, "sha1"},
    {DigestKind::kSha256, "SHA-256", "SHA256", "sha256", 64, "sha256"},
    {DigestKind::kSha512, "SHA-512", "SHA512", "sha512", 128, "sha512"},
};

template <typename Matches>
const DigestKindInfo* FindKind(Matches matches) {
  for (const DigestKindInfo& info : kKinds) {
    if (matches(info)) return &info;
  }
  return nullptr;
}

}  // namespace

const DigestKindInfo& KindInfo(DigestKind kind) { return kKinds[static_cast<int>(kind)]; }

const DigestKindInfo* KindByExtension(const char* extension) {
  return FindKind([extension](const DigestKindInfo& info) {
    return AsciiCaseCompare(info.extension, extension) == 0;
  });
}

const DigestKindInfo* KindBySettingsValue(const char* value) {
  return FindKind(
      [value](const DigestKindInfo& info) { return std::strcmp(info.settingsValue, value) == 0; });
}

const DigestKindInfo* KindByBsdTag(const char* tag, size_t length) {
  return FindKind([tag, length](const DigestKindInfo& info) {
    return std::strlen(info.bsdTag) == length && std::memcmp(info.bsdTag, tag, length) == 0;
  });
}

const DigestKindInfo* KindByDigits(size_t digits) {
  return FindKind(
      [digits](const DigestKindInfo& info) { return static_cast<size_t>(info.digits) == digits; });
}

void DigestText(DigestKind kind, const unsigned char* digest, char* text) {
  static const char kHexDigits[] = "0123456789abcdef";
  const size_t size = DigestSizeOf(kind);
  for (size_t i = 0; i < size; ++i) {
    text[2 * i] = kHexDigits[digest[i] >> 4];
    text[2 * i + 1] = kHexDigits[digest[i] & 0x0f];
  }
  text[2 * size] = '\0';
}
