#include "summary/summary_line.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "summary/summary_reader.h"

namespace {

const char kDigestText[] = "900150983cd24fb0d6963f7d28e17f72";

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
    DigestKind kind = DigestKind::kSha1;
    char digest[kDigestTextSize] = "";
    char name[kSummaryNameSize] = "";
    const int result = ParseSummaryLine(stream.get(), &kind, digest, name, utf8Names);
    const bool accepted = IsEntryLine(result);
    lines.push_back(
        {result, accepted ? name : "",
         accepted && kind == DigestKind::kMd5 && std::strcmp(digest, kDigestText) == 0});
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
      {"capital digits", upper, kLineBinaryMode, "file.txt"},
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
  const std::string longDigest(200, 'f');
  const std::string longName(kMaxWrittenName + 100, 'n');
  char out[kSummaryLineSize + 8];
  std::memset(out, 'X', sizeof(out));
  const size_t length =
      FormatSummaryLine(longDigest.c_str(), longName.c_str(), out, kSummaryLineSize);
  EXPECT_EQ(length, static_cast<size_t>(kSummaryLineSize - 1));
  EXPECT_EQ(std::string(out, 130), std::string(128, 'f') + " *");
  EXPECT_EQ(std::string(out + 130, kMaxWrittenName), std::string(kMaxWrittenName, 'n'));
  EXPECT_EQ(std::string(out + 130 + kMaxWrittenName), "\r\n");
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
  DigestKind kind;
  char digest[kDigestTextSize];
  char name[kSummaryNameSize];
  while (ParseSummaryLine(stream.get(), &kind, digest, name, true) != kLineEnd) {
    char out[kSummaryLineSize];
    const size_t length = FormatSummaryLine(digest, name, out, sizeof(out));
    written.append(out, length);
  }
  EXPECT_EQ(written, file);
}

TEST(SummaryLine, BlankMarkerIsWrittenBackWithTheAsterisk) {
  SummaryStream stream(Line(" ", "f.txt"));
  ASSERT_NE(stream.get(), nullptr);
  DigestKind kind;
  char digest[kDigestTextSize];
  char name[kSummaryNameSize];
  ASSERT_EQ(ParseSummaryLine(stream.get(), &kind, digest, name, true), kLineTextMode);
  char out[kSummaryLineSize];
  FormatSummaryLine(kDigestText, name, out, sizeof(out));
  EXPECT_STREQ(out, Line("*", "f.txt", "\r\n").c_str());
}

// What a summary reader's caller gets: the kind settled, the entries, the boxes.
class RecordingSink : public SummaryLineSink {
 public:
  explicit RecordingSink(bool refuseKind = false) : refuseKind_(refuseKind) {}
  bool KindSettled(DigestKind kind) override {
    settled.push_back(KindInfo(kind).displayName);
    return !refuseKind_;
  }
  Taken Take(const char* digest, const char* name) override {
    entries.push_back(std::string(digest) + " " + name);
    return Taken::kListed;
  }
  void Unrecognized() override { ++unrecognized; }

  std::vector<std::string> settled;
  std::vector<std::string> entries;
  int unrecognized = 0;

 private:
  bool refuseKind_;
};

SummaryReading ReadAll(const std::string& path, const std::string& bytes, RecordingSink* sink) {
  SummaryStream stream(bytes);
  if (stream.get() == nullptr) {
    ADD_FAILURE() << "no temporary file";
    return SummaryReading();
  }
  return ReadSummaryLines(stream.get(), path.c_str(), true, sink);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The digests of "abc" of each kind.
const std::string kMd5 = kDigestText;
const std::string kSha1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
const std::string kSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const std::string kSha512 =
    "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
    "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f";

// Every line form coreutils' --check takes, of every kind, and how a summary's kind is settled:
// by its extension, else by its first line that gives an entry; lines of another kind are not
// read, and the "Unrecognized line" box is only for a line of the summary's kind.
TEST(SummaryReader, LineFormsAndKindsOfWholeSummaries) {
  const struct {
    const char* what;
    std::string path;
    const char* kind;
    int notRead;
    int unrecognized;
    std::string bytes;
    std::vector<std::string> entries;
  } cases[] = {
      {"MD5, both markers, LF", "C:\\s\\a.md5", "MD5", 0, 0,
       kMd5 + "  t.txt\n" + kMd5 + " *b.bin\n",
       {kMd5 + " t.txt", kMd5 + " b.bin"}},
      {"SHA-1, both markers, CR LF", "a.sha1", "SHA-1", 0, 0,
       kSha1 + "  t.txt\r\n" + kSha1 + " *b\r\n",
       {kSha1 + " t.txt", kSha1 + " b"}},
      {"SHA-256 as sha256sum --tag writes it", "a.sha256", "SHA-256", 0, 0,
       "SHA256 (x y.txt) = " + kSha256 + "\r\nSHA256 (z) = " + kSha256 + "\n",
       {kSha256 + " x y.txt", kSha256 + " z"}},
      {"SHA-512, capital digits kept lowercase", "a.sha512", "SHA-512", 0, 0,
       Upper(kSha512) + " *n\nSHA512 (m) = " + Upper(kSha512) + "\n",
       {kSha512 + " n", kSha512 + " m"}},
      {"MD5 in the BSD form", "a.md5", "MD5", 0, 0,
       "MD5 (n.txt) = " + kMd5 + "\n",
       {kMd5 + " n.txt"}},
      {"BSD forms coreutils also reads", "a.sha1", "SHA-1", 0, 0,
       "SHA1(a)= " + kSha1 + "\nSHA1 (b (1).txt) =\t" + kSha1 + "\nSHA1 (c)=" + kSha1 + "\n",
       {kSha1 + " a", kSha1 + " b (1).txt", kSha1 + " c"}},
      {"BSD lines not read", "a.sha1", "SHA-1", 6, 0,
       "SHA1 (a) = " + kSha1 + " \nSHA1 () = " + kSha1 + "\nSHA1 a = " + kSha1 +
           "\nsha1 (b) = " + kSha1 + "\nSHA1  (c) = " + kSha1 + "\nSHA1 (d) : " + kSha1 + "\n",
       {}},
      {"wrong lengths", "a.sha256", "SHA-256", 3, 0,
       kSha256.substr(1) + " *a\n" + kSha256 + "0 *b\nSHA256 (c) = " + kMd5 + "\n",
       {}},
      {"lines of another kind under an extension", "a.md5", "MD5", 3, 0,
       kSha256 + " *a\nSHA1 (b) = " + kSha1 + "\n" + kSha512 + "  c\n",
       {}},
      {"extension in any case", "D:\\x.y\\SUMS.Sha256", "SHA-256", 0, 0,
       kSha256 + " *a\n",
       {kSha256 + " a"}},
      {"extension over the first line", "list.sha1", "SHA-1", 1, 0,
       kMd5 + " *a\n" + kSha1 + " *b\n",
       {kSha1 + " b"}},
      {"no extension: the first line's kind, mixed kinds", "SHA256SUMS", "SHA-256", 2, 0,
       "junk\n" + kSha256 + "  a\n" + kMd5 + "  b\n" + kSha256 + " *c\n",
       {kSha256 + " a", kSha256 + " c"}},
      {"other extension: the first line's kind", "sums.txt", "SHA-512", 0, 0,
       "SHA512 (a) = " + kSha512 + "\n",
       {kSha512 + " a"}},
      {"nothing that gives an entry: MD5; a folder's extension is no name's",
       "D:\\v.sha1\\CHECKSUM", "MD5", 2, 0,
       "junk\n\n" + kSha1 + " ?a\n",
       {}},
      {"unrecognized marker of the kind", "a.sha256", "SHA-256", 1, 1,
       kSha256 + " ?a\n" + kSha256 + " *b\n",
       {kSha256 + " b"}},
      {"unrecognized marker of another kind", "a.md5", "MD5", 2, 1,
       kSha256 + " ?a\n" + kMd5 + " ?b\n",
       {}},
      {"unrecognized MD5 marker before any kind", "SUMS", "MD5", 2, 1,
       kMd5 + " ?a\n" + kSha1 + " ?b\n" + kMd5 + "  c\n",
       {kMd5 + " c"}},
      {"escaped name, byte order mark, empty lines", "a.md5", "MD5", 1, 0,
       "\xEF\xBB\xBF" + kMd5 + "  a\n\r\n\n\\" + kMd5 + "  b\\\\c\n",
       {kMd5 + " a"}},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    const SummaryReading reading = ReadAll(c.path, c.bytes, &sink);
    EXPECT_FALSE(reading.stopped) << c.what;
    EXPECT_EQ(KindInfo(reading.kind).displayName, std::string(c.kind)) << c.what;
    EXPECT_EQ(sink.entries, c.entries) << c.what;
    EXPECT_EQ(reading.notRead, c.notRead) << c.what;
    EXPECT_EQ(sink.unrecognized, c.unrecognized) << c.what;
    // The kind is settled once, before the first entry, unless nothing named it.
    if (!sink.entries.empty() || KindOfSummaryName(c.path.c_str())) {
      EXPECT_EQ(sink.settled, std::vector<std::string>{c.kind}) << c.what;
    } else {
      EXPECT_TRUE(sink.settled.empty()) << c.what;
    }
  }

  // A kind its caller cannot compute stops the reading before any entry, whoever named it.
  for (const std::string& path : {std::string("a.sha512"), std::string("SUMS")}) {
    RecordingSink refusing(true);
    const SummaryReading reading = ReadAll(path, kSha512 + " *a\n" + kSha512 + " *b\n", &refusing);
    EXPECT_TRUE(reading.stopped) << path;
    EXPECT_TRUE(refusing.entries.empty()) << path;
    EXPECT_EQ(refusing.settled, std::vector<std::string>{"SHA-512"}) << path;
  }
}

}  // namespace
