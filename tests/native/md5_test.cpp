#include "digest/md5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string HexOf(const unsigned char digest[16]) {
  char text[33];
  DigestToHex(text, digest);
  return text;
}

std::string DigestOfPieces(const std::vector<unsigned char>& data,
                           const std::vector<uint32_t>& pieceLengths) {
  Md5Context context;
  Md5Init(&context);
  size_t offset = 0;
  for (uint32_t length : pieceLengths) {
    Md5Update(&context, data.data() + offset, length);
    offset += length;
  }
  EXPECT_EQ(offset, data.size()) << "piece lengths must cover the data";
  unsigned char digest[16];
  Md5Final(digest, &context);
  return HexOf(digest);
}

std::string DigestOfText(const std::string& text) {
  std::vector<unsigned char> bytes(text.begin(), text.end());
  return DigestOfPieces(bytes, {static_cast<uint32_t>(bytes.size())});
}

// Bytes (i * 7 + 3) mod 256: no two neighbouring blocks alike.
std::vector<unsigned char> Pattern(size_t length) {
  std::vector<unsigned char> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  return bytes;
}

void AppendLittleEndian(std::vector<unsigned char>* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes->push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::string ChainingWordsAsHex(const Md5Context& context) {
  unsigned char digest[16];
  const uint32_t words[4] = {context.a, context.b, context.c, context.d};
  for (int w = 0; w < 4; ++w) {
    for (int i = 0; i < 4; ++i) digest[4 * w + i] = static_cast<unsigned char>(words[w] >> (8 * i));
  }
  return HexOf(digest);
}

TEST(Md5, Rfc1321TestSuite) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) EXPECT_EQ(DigestOfText(c.text), c.digest) << '"' << c.text << '"';
}

TEST(Md5, InitAndFinalAloneGiveTheEmptyDigest) {
  Md5Context context;
  Md5Init(&context);
  unsigned char digest[16];
  Md5Final(digest, &context);
  EXPECT_EQ(HexOf(digest), "d41d8cd98f00b204e9800998ecf8427e");
}

// Lengths around the padding boundaries: 55 fits one final block, 56..63 need two,
// 64 is a data block followed by a padding block.
TEST(Md5, PaddingLengthsMatchKnownDigests) {
  const struct {
    size_t length;
    const char* digest;
  } cases[] = {
      {55, "52c0e574e1198de5fe3f8f11440dcb1b"},  {56, "46c9907fc908ee68b1e7b8e71286a518"},
      {63, "a62f6d59e837867693f042f5b8f5a236"},  {64, "7160b8fb5e9e4023d549c3971fbaeead"},
      {65, "70bd662e7aefbda85a0f7244167b7897"},  {119, "e84905d4214f4d1ca56c2cdcc152b143"},
      {120, "e3eb5a6c8669ea01a8c185b8abc8a5dc"}, {127, "acce2474d6cc8302120d09c818d17ef7"},
      {128, "10b2da1a82f16d99a81a7203fe9f02cb"}, {1000, "10046f077f2082ac19676b8079f1cb1a"},
  };
  for (const auto& c : cases) {
    const std::vector<unsigned char> data = Pattern(c.length);
    const std::string oneShot = DigestOfPieces(data, {static_cast<uint32_t>(c.length)});
    EXPECT_EQ(oneShot, c.digest) << c.length << " bytes";
    std::vector<uint32_t> bytewise(c.length, 1);
    EXPECT_EQ(DigestOfPieces(data, bytewise), oneShot) << c.length << " bytes, one at a time";
  }
}

TEST(Md5, AnySplitGivesTheSameDigest) {
  const std::vector<unsigned char> data = Pattern(300);
  const std::string expected = DigestOfPieces(data, {300});
  const struct {
    const char* what;
    std::vector<uint32_t> pieces;
  } splits[] = {
      {"zero-length calls in between", {0, 10, 0, 0, 290, 0}},
      {"piece exactly filling the block", {10, 54, 236}},
      {"64-byte pieces at block boundaries", {64, 64, 64, 64, 44}},
      {"pieces crossing boundaries", {63, 2, 63, 100, 72}},
      {"fill then large piece", {1, 63, 128, 108}},
      {"large piece from a partial block", {5, 200, 95}},
  };
  for (const auto& split : splits)
    EXPECT_EQ(DigestOfPieces(data, split.pieces), expected) << split.what;
  std::vector<uint32_t> bytewise(300, 1);
  EXPECT_EQ(DigestOfPieces(data, bytewise), expected) << "one byte at a time";
}

TEST(Md5, UpdateReadsUnalignedCallerMemory) {
  std::vector<unsigned char> storage(1 + 200);
  const std::vector<unsigned char> data = Pattern(200);
  std::memcpy(storage.data() + 1, data.data(), data.size());
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, storage.data() + 1, 200);
  unsigned char digest[16];
  Md5Final(digest, &context);
  EXPECT_EQ(HexOf(digest), DigestOfPieces(data, {200}));
}

TEST(Md5, CountAndBufferFollowTheBytesFed) {
  Md5Context context;
  Md5Init(&context);
  const std::vector<unsigned char> data = Pattern(70);
  Md5Update(&context, data.data(), 70);
  EXPECT_EQ(context.countLow, 70u);
  EXPECT_EQ(context.countHigh, 0u);
  // The six bytes after the first block wait in the buffer.
  EXPECT_EQ(std::memcmp(context.buffer, data.data() + 64, 6), 0);
}

TEST(Md5, ContextIsAllZeroAfterFinal) {
  Md5Context context;
  Md5Init(&context);
  const std::vector<unsigned char> data = Pattern(100);
  Md5Update(&context, data.data(), 100);
  unsigned char digest[16];
  Md5Final(digest, &context);
  Md5Context zero;
  std::memset(&zero, 0, sizeof(zero));
  EXPECT_EQ(std::memcmp(&context, &zero, sizeof(context)), 0);
}

// Feeds `data` to a context whose count starts at startLow, then compares its digest with the
// chaining words that a fresh context reaches when the same bytes and a hand-built padding
// block with the given 64-bit bit length are fed to it.
void ExpectLengthField(uint32_t startLow, const std::vector<unsigned char>& data, uint32_t bitsLow,
                       uint32_t bitsHigh, uint32_t expectedCountHigh) {
  Md5Context context;
  Md5Init(&context);
  context.countLow = startLow;
  Md5Update(&context, data.data(), static_cast<uint32_t>(data.size()));
  EXPECT_EQ(context.countHigh, expectedCountHigh);
  unsigned char digest[16];
  Md5Final(digest, &context);

  std::vector<unsigned char> padded(data.begin(), data.end());
  padded.push_back(0x80);
  while (padded.size() % 64 != 56) padded.push_back(0);
  AppendLittleEndian(&padded, bitsLow);
  AppendLittleEndian(&padded, bitsHigh);
  Md5Context reference;
  Md5Init(&reference);
  Md5Update(&reference, padded.data(), static_cast<uint32_t>(padded.size()));
  EXPECT_EQ(HexOf(digest), ChainingWordsAsHex(reference));
}

TEST(Md5, CountCarriesPastFourGibibytes) {
  // 0xFFFFFFC0 + 100 bytes = 2^32 + 36 bytes: (2^32 + 36) * 8 bits = 8:0x120.
  ExpectLengthField(0xFFFFFFC0u, Pattern(100), 0x120u, 8u, 1u);
}

TEST(Md5, TopBitsOfCountLowReachTheUpperLengthWord) {
  // 0xE000000A bytes = 0x7_0000_0050 bits.
  ExpectLengthField(0xE0000000u, Pattern(10), 0x50u, 7u, 0u);
}

TEST(Md5, CarryChangesTheDigest) {
  const std::vector<unsigned char> data = Pattern(100);
  std::string digests[2];
  const uint32_t starts[2] = {0xFFFFFFC0u, 0x3FFFFFC0u};  // same fill, with and without carry
  for (int i = 0; i < 2; ++i) {
    Md5Context context;
    Md5Init(&context);
    context.countLow = starts[i];
    Md5Update(&context, data.data(), 100);
    unsigned char digest[16];
    Md5Final(digest, &context);
    digests[i] = HexOf(digest);
  }
  EXPECT_NE(digests[0], digests[1]);
}

TEST(Md5, DigestToHexIsLowercaseWithLeadingZeros) {
  const unsigned char digest[16] = {0x0a, 0x00, 0xff, 0x10, 0x01, 0xab, 0xcd, 0xef,
                                    0x09, 0x90, 0x5f, 0xf5, 0x7e, 0xe7, 0x30, 0x03};
  char text[40];
  std::memset(text, 'X', sizeof(text));
  DigestToHex(text, digest);
  EXPECT_STREQ(text, "0a00ff1001abcdef09905ff57ee73003");
  EXPECT_EQ(text[33], 'X') << "nothing written past the terminator";
}

}  // namespace
