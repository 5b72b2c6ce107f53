#include "digest/digest_kind.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Each kind is found by each of its names (an extension in any case), and by nothing near them.
TEST(DigestKind, EachKindIsFoundByItsOwnNamesOnly) {
  const struct {
    DigestKind kind;
    const char* upperExtension;
    size_t digits;
  } cases[] = {{DigestKind::kMd5, "MD5", 32},
               {DigestKind::kSha1, "Sha1", 40},
               {DigestKind::kSha256, "SHA256", 64},
               {DigestKind::kSha512, "SHA512", 128}};
  for (const auto& c : cases) {
    const DigestKindInfo& info = KindInfo(c.kind);
    EXPECT_EQ(info.kind, c.kind);
    EXPECT_EQ(KindByExtension(c.upperExtension), &info);
    EXPECT_EQ(KindBySettingsValue(info.settingsValue), &info);
    EXPECT_EQ(KindByBsdTag(info.bsdTag, std::strlen(info.bsdTag)), &info);
    EXPECT_EQ(KindByDigits(c.digits), &info);
    EXPECT_EQ(DigestSizeOf(c.kind), c.digits / 2);
  }
  for (const char* near : {"", "sha", "sha-256", "md5sum"}) EXPECT_EQ(KindByExtension(near), nullptr);
  EXPECT_EQ(KindBySettingsValue("SHA256"), nullptr);  // the settings file's own spelling only
  EXPECT_EQ(KindByBsdTag("SHA256", 5), nullptr);
  EXPECT_EQ(KindByBsdTag("sha256", 6), nullptr);
  for (size_t digits : {0, 31, 33, 96, 129}) EXPECT_EQ(KindByDigits(digits), nullptr);
}

}  // namespace
