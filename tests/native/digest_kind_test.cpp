#include "digest/digest_kind.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Each kind found by each of its names, and only by its own; the text of a digest of its size.
TEST(DigestKind, EachKindIsFoundByItsNamesAndWritesItsDigits) {
  const struct {
    DigestKind kind;
    const char* display;
    const char* tag;
    const char* upperExtension;
    size_t digits;
  } cases[] = {
      {DigestKind::kMd5, "MD5", "MD5", "MD5", 32},
      {DigestKind::kSha1, "SHA-1", "SHA1", "SHA1", 40},
      {DigestKind::kSha256, "SHA-256", "SHA256", "SHA256", 64},
      {DigestKind::kSha512, "SHA-512", "SHA512", "SHA512", 128},
  };
  unsigned char digest[kMaxDigestSize];
  for (int i = 0; i < kMaxDigestSize; ++i) digest[i] = static_cast<unsigned char>(0xA0 + i);
  for (const auto& c : cases) {
    const DigestKindInfo& info = KindInfo(c.kind);
    EXPECT_EQ(info.kind, c.kind);
    EXPECT_STREQ(info.displayName, c.display);
    EXPECT_EQ(KindByExtension(info.extension), &info);
    EXPECT_EQ(KindByExtension(c.upperExtension), &info);
    EXPECT_EQ(KindBySettingsValue(info.settingsValue), &info);
    EXPECT_EQ(KindByBsdTag(c.tag, std::strlen(c.tag)), &info);
    EXPECT_EQ(KindByDigits(c.digits), &info);
    EXPECT_EQ(DigestSizeOf(c.kind), c.digits / 2);
    char text[kDigestTextSize + 1];
    std::memset(text, 'X', sizeof text);
    DigestText(c.kind, digest, text);
    EXPECT_EQ(std::string(text),
              std::string("a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf"
                          "c0c1c2c3c4c5c6c7c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedf")
                  .substr(0, c.digits));
    EXPECT_EQ(text[kDigestTextSize], 'X');
  }
  EXPECT_EQ(KindByExtension("sha"), nullptr);
  EXPECT_EQ(KindByExtension("md5sum"), nullptr);
  EXPECT_EQ(KindByExtension(""), nullptr);
  EXPECT_EQ(KindBySettingsValue("SHA256"), nullptr);  // the settings file's own spelling only
  EXPECT_EQ(KindBySettingsValue("sha-256"), nullptr);
  EXPECT_EQ(KindByBsdTag("SHA2567", 7), nullptr);
  EXPECT_EQ(KindByBsdTag("SHA256", 5), nullptr);
  EXPECT_EQ(KindByBsdTag("sha256", 6), nullptr);
  EXPECT_EQ(KindByBsdTag("SHA-256", 7), nullptr);
  for (size_t digits : {0, 31, 33, 48, 96, 127, 129}) EXPECT_EQ(KindByDigits(digits), nullptr);
}

}  // namespace
