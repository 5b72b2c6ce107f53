#include "summary/summary_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "digest/md5.h"

namespace {

const char kDigestText[] = "900150983cd24fb0d6963f7d28e17f72";
const unsigned char kDigest[16] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                                   0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72};

// A binary stream holding exactly the given bytes, as the reader's caller opens it.
class SummaryStream {
 public:
  explicit SummaryStream(const std::string& bytes) : file_(std::tmpfile()) {
    if (file_ == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
    std::rewind(file_);
  }
  ~SummaryStream() {
    if (file_ != nullptr) std::fclose(file_);
  }
  SummaryStream(const SummaryStream&) = delete;
  SummaryStream& operator=(const SummaryStream&) = delete;
  FILE* get() const { return file_; }

 private:
  FILE* file_;
};

struct ParsedLine {
  int result;
  std::string name;  // filled for accepted lines only
  bool digestMatches;
};

// Every result up to and including kLineEnd; with skipMark, as a summary file is read.
std::vector<ParsedLine> ParseAll(const std::string& bytes, bool skipMark = false,
                                 bool utf8Names = true) {
  SummaryStream stream(bytes);
  std::vector<ParsedLine> lines;
  if (stream.get() == nullptr) {
    ADD_FAILURE() << "no temporary file";
    return lines;
  }
  if (skipMark) SkipByteOrderMark(stream.get());
  for (int guard = 0; guard < 1000; ++guard) {
    unsigned char digest[16] = {0};
    char name[kSummaryNameSize] = "";
    const int result = ParseSummaryLine(stream.get(), digest, name, utf8Names);
    const bool accepted = result == kLineTextMode || result == kLineBinaryMode;
    lines.push_back(
        {result, accepted ? name : "", accepted && std::memcmp(digest, kDigest, 16) == 0});
    if (result == kLineEnd) break;
  }
  return lines;
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string Line(const std::string& marker, const std::string& name, const char* end = "\n") {
  return std::string(kDigestText) + " " + marker + name + end;
}

TEST(HexDigitValue, LowercaseDigitsOnly) {
  const std::string valid = "0123456789abcdef";
  for (int c = 0; c < 256; ++c) {
    const size_t position = valid.find(static_cast<char>(c));
    const int expected =
        (c != 0 && position != std::string::npos) ? static_cast<int>(position) : -1;
    EXPECT_EQ(HexDigitValue(c), expected) << c;
  }
  EXPECT_EQ(HexDigitValue(EOF), -1);
}

TEST(ParseSummaryLine, SingleLines) {
  const std::string name260(260, 'n');
  const std::string upper = "900150983CD24FB0D6963F7D28E17F72 *file.txt\n";
  const struct {
    const char* what;
    std::string bytes;
    int result;
    std::string name;
  } cases[] = {
      {"asterisk marker", Line("*", "docs/readme.txt"), kLineBinaryMode, "docs/readme.txt"},
      {"blank marker", Line(" ", "docs/readme.txt"), kLineTextMode, "docs/readme.txt"},
      {"capital digits", upper, kLineRejected, ""},
      {"no blank after the digest", std::string(kDigestText) + "*file.txt\n", kLineRejected, ""},
      {"question mark marker", Line("?", "file.txt"), kLineUnrecognized, ""},
      {"digest and blank only", std::string(kDigestText) + " \n", kLineUnrecognized, ""},
      {"one-character name", Line("*", "x"), kLineBinaryMode, "x"},
      {"empty name", Line("*", ""), kLineRejected, ""},
      {"two-character name", Line("*", "xy"), kLineBinaryMode, "xy"},
      {"260-character name", Line("*", name260), kLineBinaryMode, name260},
      {"261-character name", Line("*", name260 + "n"), kLineRejected, ""},
      {"trailing blanks", Line("*", "a b  ", "\r\n"), kLineBinaryMode, "a b  "},
      {"backslashes kept as read", Line("*", "a\\b"), kLineBinaryMode, "a\\b"},
      {"short digest", "900150983cd24fb0 *file.txt\n", kLineRejected, ""},
      {"empty line", "\n", kLineEmpty, ""},
      {"lone CR stays in the name", Line("*", "ab\rcd", "\r\n"), kLineBinaryMode, "ab\rcd"},
      {"CR at the end of the file", Line("*", "ab", "\r"), kLineBinaryMode, "ab\r"},
      {"NUL ends the text", Line("*", std::string("ab\0cd", 5)), kLineBinaryMode, "ab"},
      {"NUL inside the digest", std::string("9001\0", 5) + Line("*", "ab"), kLineRejected, ""},
  };
  for (const auto& c : cases) {
    const std::vector<ParsedLine> lines = ParseAll(c.bytes);
    ASSERT_EQ(lines.size(), 2u) << c.what;
    EXPECT_EQ(lines[0].result, c.result) << c.what;
    EXPECT_EQ(lines[0].name, c.name) << c.what;
    if (!c.name.empty()) {
      EXPECT_TRUE(lines[0].digestMatches) << c.what;
    }
    EXPECT_EQ(lines[1].result, kLineEnd) << c.what;
  }
}

std::vector<int> Results(const std::vector<ParsedLine>& lines) {
  std::vector<int> results;
  for (const ParsedLine& line : lines) results.push_back(line.result);
  return results;
}

TEST(SkipByteOrderMark, OnlyAWholeMarkAtTheStartIsSkipped) {
  const std::string mark = "\xEF\xBB\xBF";
  const struct {
    const char* what;
    std::string bytes;
    std::vector<int> results;
  } cases[] = {
      {"mark before the first line", mark + Line("*", "a.txt"), {kLineBinaryMode, kLineEnd}},
      {"no mark", Line("*", "a.txt"), {kLineBinaryMode, kLineEnd}},
      {"mark alone", mark, {kLineEnd}},
      {"empty file", "", {kLineEnd}},
      {"part of a mark is kept", "\xEF\xBB" + Line("*", "a.txt"), {kLineRejected, kLineEnd}},
      {"a second mark is kept", mark + mark + Line("*", "a.txt"), {kLineRejected, kLineEnd}},
  };
  for (const auto& c : cases) {
    const std::vector<ParsedLine> lines = ParseAll(c.bytes, true);
    EXPECT_EQ(Results(lines), c.results) << c.what;
    if (c.results[0] == kLineBinaryMode) EXPECT_EQ(lines[0].name, "a.txt") << c.what;
  }
}

// A UTF-8 name counts its characters as Windows does (UTF-16 units); a name in a legacy code
// page, and every name where the code page is not UTF-8, counts bytes as before.
TEST(ParseSummaryLine, NameLimitsCountCharactersOfUtf8Names) {
  const std::string kanji = "\xE6\xBC\xA2";  // one character, three bytes
  const std::string emoji = "\xF0\x9F\x98\x80";  // two units, four bytes
  const struct {
    const char* what;
    std::string name;
    bool utf8Names;
    int result;
  } cases[] = {
      {"260 CJK characters", Repeat(kanji, 260), true, kLineBinaryMode},
      {"261 CJK characters", Repeat(kanji, 261), true, kLineRejected},
      {"130 emoji are 260 units", Repeat(emoji, 130), true, kLineBinaryMode},
      {"130 emoji and one more unit", Repeat(emoji, 130) + "a", true, kLineRejected},
      {"260 CJK characters, code page not UTF-8", Repeat(kanji, 260), false, kLineRejected},
      {"86 CJK characters, code page not UTF-8", Repeat(kanji, 86), false, kLineBinaryMode},
      {"260 legacy bytes", Repeat("\xE9", 260), true, kLineBinaryMode},
      {"261 legacy bytes", Repeat("\xE9", 261), true, kLineRejected},
  };
  for (const auto& c : cases) {
    const std::vector<ParsedLine> lines = ParseAll(Line("*", c.name), false, c.utf8Names);
    ASSERT_EQ(lines.size(), 2u) << c.what;
    EXPECT_EQ(lines[0].result, c.result) << c.what;
    if (c.result == kLineBinaryMode) EXPECT_EQ(lines[0].name, c.name) << c.what;
  }
}

TEST(ParseSummaryLine, ReadingGoesOnAfterBadLines) {
  const std::string bytes = Line("?", "one") + "junk\n\n" + Line("*", "two") + Line("*", "two");
  const std::vector<ParsedLine> lines = ParseAll(bytes);
  EXPECT_EQ(Results(lines), (std::vector<int>{kLineUnrecognized, kLineRejected, kLineEmpty,
                                              kLineBinaryMode, kLineBinaryMode, kLineEnd}));
  EXPECT_EQ(lines[3].name, "two");
  EXPECT_EQ(lines[4].name, "two");
}

TEST(ParseSummaryLine, LineEndsDoNotMatter) {
  const std::vector<ParsedLine> withCrLf =
      ParseAll(Line("*", "a.txt", "\r\n") + Line(" ", "b c.txt", "\r\n"));
  const std::vector<ParsedLine> withLf = ParseAll(Line("*", "a.txt") + Line(" ", "b c.txt"));
  const std::vector<ParsedLine> lastUnended =
      ParseAll(Line("*", "a.txt") + Line(" ", "b c.txt", ""));
  for (const auto* lines : {&withCrLf, &withLf, &lastUnended}) {
    ASSERT_EQ(lines->size(), 3u);
    EXPECT_EQ((*lines)[0].name, "a.txt");
    EXPECT_EQ((*lines)[1].name, "b c.txt");
    EXPECT_EQ((*lines)[1].result, kLineTextMode);
    EXPECT_EQ((*lines)[2].result, kLineEnd);
  }
}

TEST(ParseSummaryLine, EmptyFileEndsAtOnce) {
  EXPECT_EQ(Results(ParseAll("")), std::vector<int>{kLineEnd});
}

TEST(ParseSummaryLine, OverLongLineIsOneRejectedLine) {
  // The tail of the long line is itself a well-formed line: it must not be taken for one.
  const std::string tail = Line("*", "hidden.txt");
  const std::string longLine = std::string(5000 - tail.size() + 1, 'x') + tail;
  const std::vector<ParsedLine> lines = ParseAll(longLine + Line("*", "next.txt"));
  ASSERT_EQ(Results(lines), (std::vector<int>{kLineRejected, kLineBinaryMode, kLineEnd}));
  EXPECT_EQ(lines[1].name, "next.txt");

  // A long line that is a valid line up to a NUL is still one rejected line.
  const std::string padded = Line("*", std::string("ok\0", 3) + std::string(3000, 'p'));
  EXPECT_EQ(Results(ParseAll(padded + Line("*", "next.txt"))),
            (std::vector<int>{kLineRejected, kLineBinaryMode, kLineEnd}));

  // Over-long and without a line end: one rejected line, then the end.
  EXPECT_EQ(Results(ParseAll(std::string(4096, 'y'))), (std::vector<int>{kLineRejected, kLineEnd}));
}

TEST(ParseSummaryLine, LongestLineThatFitsIsRead) {
  // A NUL ends the text early, so a line of any length can parse: that shows where the limit
  // lies. 2047 characters before the line end fit (the CR of a CR LF not counted); 2048 do not.
  const std::string head = std::string(kDigestText) + " *ok" + std::string(1, '\0');
  for (const char* end : {"\n", "\r\n"}) {
    const std::string fits = head + std::string(kMaxSummaryLineText - head.size(), 'p');
    std::vector<ParsedLine> lines = ParseAll(fits + end + Line("*", "n1"));
    ASSERT_EQ(Results(lines), (std::vector<int>{kLineBinaryMode, kLineBinaryMode, kLineEnd}));
    EXPECT_EQ(lines[0].name, "ok");
    EXPECT_EQ(Results(ParseAll(fits + "p" + end + Line("*", "n1"))),
              (std::vector<int>{kLineRejected, kLineBinaryMode, kLineEnd}));
  }
}

TEST(FormatSummaryLine, WriterForm) {
  char out[kSummaryLineSize];
  const size_t length = FormatSummaryLine(kDigestText, "docs/readme.txt", out, sizeof(out));
  EXPECT_EQ(length, 51u);
  EXPECT_STREQ(out, "900150983cd24fb0d6963f7d28e17f72 *docs/readme.txt\r\n");
}

TEST(FormatSummaryLine, LongFieldsAreCutToTheirColumns) {
  const std::string longDigest(128, 'f');
  const std::string longName(kMaxWrittenName + 100, 'n');
  char out[kSummaryLineSize + 8];
  std::memset(out, 'X', sizeof(out));
  const size_t length =
      FormatSummaryLine(longDigest.c_str(), longName.c_str(), out, kSummaryLineSize);
  EXPECT_EQ(length, static_cast<size_t>(kSummaryLineSize - 1));
  EXPECT_EQ(std::string(out, 34), std::string(32, 'f') + " *");
  EXPECT_EQ(std::string(out + 34, kMaxWrittenName), std::string(kMaxWrittenName, 'n'));
  EXPECT_EQ(std::string(out + 34 + kMaxWrittenName), "\r\n");
  EXPECT_EQ(out[kSummaryLineSize], 'X');

  char small[20];
  EXPECT_EQ(FormatSummaryLine(kDigestText, "name", small, sizeof(small)), 19u);
  EXPECT_EQ(std::string(small), std::string(kDigestText, 19));
}

TEST(SummaryLine, WriterLinesSurviveReadAndWriteByteForByte) {
  const std::string file = Line("*", "docs/readme.txt", "\r\n") + Line("*", "a b  ", "\r\n") +
                           Line("*", std::string(260, 'q'), "\r\n") + Line("*", "ab", "\r\n") +
                           Line("*", Repeat("\xE6\xBC\xA2", 256) + ".txt", "\r\n") +
                           Line("*", "x", "\r\n");
  SummaryStream stream(file);
  ASSERT_NE(stream.get(), nullptr);
  std::string written;
  unsigned char digest[16];
  char name[kSummaryNameSize];
  while (ParseSummaryLine(stream.get(), digest, name, true) != kLineEnd) {
    char digestText[33];
    DigestToHex(digestText, digest);
    char out[kSummaryLineSize];
    const size_t length = FormatSummaryLine(digestText, name, out, sizeof(out));
    written.append(out, length);
  }
  EXPECT_EQ(written, file);
}

TEST(SummaryLine, BlankMarkerIsWrittenBackWithTheAsterisk) {
  SummaryStream stream(Line(" ", "f.txt"));
  ASSERT_NE(stream.get(), nullptr);
  unsigned char digest[16];
  char name[kSummaryNameSize];
  ASSERT_EQ(ParseSummaryLine(stream.get(), digest, name, true), kLineTextMode);
  char out[kSummaryLineSize];
  FormatSummaryLine(kDigestText, name, out, sizeof(out));
  EXPECT_STREQ(out, Line("*", "f.txt", "\r\n").c_str());
}

}  // namespace
