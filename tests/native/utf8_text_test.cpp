#include "common/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The UTF-8 bytes of a code point, by the encoding table of RFC 3629 (no checks: the tests also
// encode surrogates and overlong forms on purpose).
std::string Encode(unsigned long point, size_t length) {
  std::string out;
  if (length == 1) return std::string(1, static_cast<char>(point));
  static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[length] | (point >> (6 * (length - 1))));
  for (size_t i = length - 1; i > 0; --i) {
    out += static_cast<char>(0x80 | ((point >> (6 * (i - 1))) & 0x3F));
  }
  return out;
}

size_t ShortestLength(unsigned long point) {
  return point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
}

bool Valid(const std::string& text) { return IsValidUtf8(text.data(), text.size()); }

TEST(Utf8Text, EveryCodePointInItsShortestFormAndNoSurrogate) {
  for (unsigned long point = 0; point <= 0x10FFFF; ++point) {
    const std::string bytes = Encode(point, ShortestLength(point));
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    ASSERT_EQ(Valid(bytes), !surrogate) << std::hex << point;
    if (!surrogate) ASSERT_EQ(Utf16Length(bytes.data(), bytes.size()), point > 0xFFFF ? 2u : 1u);
    // Every longer form of the same point is overlong.
    for (size_t longer = ShortestLength(point) + 1; longer <= 4 && point < 0x800; ++longer) {
      ASSERT_FALSE(Valid(Encode(point, longer))) << std::hex << point << " in " << longer;
    }
  }
}

TEST(Utf8Text, MalformedAndWholeTexts) {
  const struct {
    const char* what;
    std::string bytes;
    bool valid;
    size_t units;
  } cases[] = {
      {"empty", "", true, 0},
      {"ASCII name", "docs/readme.txt", true, 15},
      {"Latin with accents", "caf\xC3\xA9.txt", true, 8},
      {"CJK", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", true, 7},
      {"emoji takes two units", "emoji \xF0\x9F\x98\x80.txt", true, 12},
      {"combining mark", "e\xCC\x81", true, 2},
      {"code page 1252 e acute", "caf\xE9.txt", false, 0},
      {"stray continuation byte", "a\x80z", false, 0},
      {"sequence cut by the end", "ab\xE6\x97", false, 0},
      {"sequence cut by ASCII", "\xE6\x97z", false, 0},
      {"C0 lead", "\xC0\xAF", false, 0},
      {"F5 lead", "\xF5\x80\x80\x80", false, 0},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false, 0},
      {"byte FF", "\xFF", false, 0},
      {"NUL inside is ASCII", std::string("a\0b", 3), true, 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Valid(c.bytes), c.valid) << c.what;
    if (c.valid) EXPECT_EQ(Utf16Length(c.bytes.data(), c.bytes.size()), c.units) << c.what;
  }
}

TEST(Utf8Text, WholeLengthDropsOnlyACharacterTheCutSplit) {
  const std::string kanji = "\xE6\xBC\xA2";
  const std::string emoji = "\xF0\x9F\x98\x80";
  const struct {
    std::string text;
    size_t whole;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a" + kanji, 4},
      {"a" + kanji.substr(0, 2), 1},
      {"a" + kanji.substr(0, 1), 1},
      {"a" + emoji, 5},
      {"a" + emoji.substr(0, 3), 1},
      {"caf\xC3\xA9", 5},
      {"caf\xC3", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8WholeLength(c.text.data(), c.text.size()), c.whole) << c.text;
  }
  // Every cut of a text of whole characters leaves a whole, valid prefix.
  const std::string text = "x" + kanji + emoji + "\xC3\xA9" + kanji + "y";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const size_t whole = Utf8WholeLength(text.data(), cut);
    EXPECT_LE(whole, cut);
    EXPECT_GE(whole + 3, cut);
    EXPECT_TRUE(IsValidUtf8(text.data(), whole)) << cut;
  }
}

}  // namespace
