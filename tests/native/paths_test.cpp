#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/bounded_text.h"

namespace {

TEST(RelativeName, UnderTheBaseOrNot) {
  const struct {
    const char* base;
    const char* path;
    bool under;
    const char* relative;
  } cases[] = {
      {"D:\\Data", "d:\\data\\Sub\\f.txt", true, "Sub/f.txt"},
      {"D:\\data", "D:\\database\\f.txt", false, ""},
      {"D:\\", "D:\\f.txt", true, "f.txt"},
      {"D:\\data", "D:\\data", true, ""},
      {"D:\\data", "D:\\dat", false, ""},
      {"", "D:\\x\\y.txt", true, "D:/x/y.txt"},
      {"D:/data/", "D:/data/a/b", true, "a/b"},
      {"D:\\data", "D:\\data/f.txt", true, "f.txt"},
      {"D:\\data", "D:\\data\\\\f.txt", true, "/f.txt"},  // a doubled separator stays
      {"D:\\data", "E:\\data\\f.txt", false, ""},
      {"data", "DATA\\x", true, "x"},
      {"D:\\data", "d:\\DATA", true, ""},
  };
  for (const auto& c : cases) {
    char output[kPathTextSize];
    std::memset(output, 'X', sizeof(output));
    EXPECT_EQ(RelativeName(c.base, c.path, output), c.under) << c.base << " / " << c.path;
    EXPECT_STREQ(output, c.relative) << c.base << " / " << c.path;
  }
}

TEST(IsUnderBase, KeepsTheOwnSeparatorsAndWritesOnlyWhenAsked) {
  char relative[kPathTextSize] = "untouched";
  EXPECT_TRUE(IsUnderBase("D:\\data", "D:\\data\\a\\b.txt", relative));
  EXPECT_STREQ(relative, "a\\b.txt");
  CopyText(relative, sizeof(relative), "untouched");
  EXPECT_FALSE(IsUnderBase("D:\\data", "D:\\database", relative));
  EXPECT_STREQ(relative, "untouched");
  EXPECT_TRUE(IsUnderBase("D:\\data", "D:\\data\\x", nullptr));
}

int CompareCalls = 0;

int CountingCaseSensitiveCompare(const char* a, const char* b) {
  ++CompareCalls;
  return std::strcmp(a, b);
}

TEST(IsUnderBase, UsesTheInstalledCompare) {
  SetPathCaseCompare(CountingCaseSensitiveCompare);
  CompareCalls = 0;
  // The installed compare is case-sensitive, so the case now matters.
  EXPECT_FALSE(IsUnderBase("D:\\Data", "d:\\data\\x", nullptr));
  EXPECT_EQ(CompareCalls, 1);
  EXPECT_TRUE(IsUnderBase("D:\\Data", "D:\\Data\\x", nullptr));
  EXPECT_EQ(CompareCalls, 1);  // a prefix equal byte for byte is under the base in any case rule
  EXPECT_TRUE(IsUnderBase("D:\\Data", "D:\\Data", nullptr));
  EXPECT_EQ(CompareCalls, 2);
  SetPathCaseCompare(nullptr);
  EXPECT_TRUE(IsUnderBase("D:\\Data", "d:\\data\\x", nullptr));
}

TEST(AsciiCaseCompare, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(AsciiCaseCompare("ABC/x.txt", "abc/X.TXT"), 0);
  EXPECT_NE(AsciiCaseCompare("\xC4", "\xE4"), 0);  // A and a umlaut in Latin-1
  EXPECT_LT(AsciiCaseCompare("a", "\xE4"), 0);     // bytes above 0x7F sort last
  EXPECT_LT(AsciiCaseCompare("ab", "abc"), 0);
  EXPECT_LT(AsciiCaseCompare("[", "Z"), 0);  // 'Z' folds to 'z', above '['
}

TEST(JoinPath, InsertsOneSeparator) {
  const struct {
    const char* directory;
    const char* name;
    const char* joined;
  } cases[] = {
      {"D:\\data", "Sub/f.txt", "D:\\data\\Sub/f.txt"},
      {"D:\\", "f.txt", "D:\\f.txt"},
      {"D:\\data/", "f.txt", "D:\\data/f.txt"},
      {"D:\\data", "*.*", "D:\\data\\*.*"},
      {".", "f.txt", ".\\f.txt"},
      {"\\", "f.txt", "\\f.txt"},
      {"", "f.txt", "f.txt"},
  };
  for (const auto& c : cases) {
    char output[kMaxPath];
    EXPECT_TRUE(JoinPath(c.directory, c.name, output, sizeof(output))) << c.directory;
    EXPECT_STREQ(output, c.joined) << c.directory;
  }
}

TEST(JoinPath, CutsToTheOutputAndSaysSo) {
  const std::string directory(250, 'd');
  const std::string name(20, 'n');
  char output[kMaxPath + 8];
  std::memset(output, 'X', sizeof(output));
  EXPECT_FALSE(JoinPath(directory.c_str(), name.c_str(), output, kMaxPath));
  EXPECT_EQ(std::strlen(output), static_cast<size_t>(kMaxPath - 1));
  EXPECT_EQ(std::string(output, 251), directory + "\\");
  EXPECT_EQ(output[kMaxPath], 'X') << "nothing written past the buffer";

  const std::string hugeDirectory(1000, 'd');
  EXPECT_FALSE(JoinPath(hugeDirectory.c_str(), "x", output, kMaxPath));
  EXPECT_EQ(std::strlen(output), static_cast<size_t>(kMaxPath - 1));

  // Exactly full is not a cut.
  const std::string fits(kMaxPath - 1 - 4, 'd');
  EXPECT_TRUE(JoinPath(fits.c_str(), "abc", output, kMaxPath));
  EXPECT_EQ(std::strlen(output), static_cast<size_t>(kMaxPath - 1));
}

TEST(BaseName, TextAfterTheLastSeparatorOrColon) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"D:\\data\\sums.md5", "sums.md5"},
      {"D:sums.md5", "sums.md5"},
      {"sums.md5", "sums.md5"},
      {"D:\\data\\", ""},
      {"D:", ""},
      {"a/b\\c", "c"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(BaseName(c.path), c.name) << c.path;
}

TEST(DirectoryOfPath, KeepsRootsWhole) {
  const struct {
    const char* path;
    const char* directory;
  } cases[] = {
      {"D:\\data\\sums.md5", "D:\\data"},
      {"D:\\sums.md5", "D:\\"},
      {"D:sums.md5", "D:"},
      {"\\sums.md5", "\\"},
      {"sums.md5", "sums.md5"},
      {"D:", "D:"},
      {"a/b/c.md5", "a/b"},
      {"D:/x.md5", "D:/"},
      {"", ""},
  };
  for (const auto& c : cases) {
    char path[kMaxPath];
    CopyText(path, sizeof(path), c.path);
    DirectoryOfPath(path);
    EXPECT_STREQ(path, c.directory) << c.path;
  }
}

TEST(StripQuotes, RemovesOnePairAroundThreeOrMore) {
  const struct {
    const char* text;
    const char* stripped;
  } cases[] = {
      {"\"D:\\My Files\"", "D:\\My Files"},
      {"\"D:\\x", "\"D:\\x"},
      {"D:\\x\"", "D:\\x\""},
      {"\"\"", "\"\""},
      {"\"a\"", "a"},
      {"\"\"\"\"", "\"\""},
      {"\"", "\""},
      {"", ""},
  };
  for (const auto& c : cases) {
    char text[kMaxPath];
    CopyText(text, sizeof(text), c.text);
    StripQuotes(text);
    EXPECT_STREQ(text, c.stripped) << c.text;
  }
}

TEST(ToSlashes, OnlyBackslashesChange) {
  char text[] = "D:\\a/b\\\\c:d";
  ToSlashes(text);
  EXPECT_STREQ(text, "D:/a/b//c:d");
}

TEST(IsUnderBase, HostileLengthsStayInsideTheBuffers) {
  const std::string longBase(kPathTextSize, 'b');
  const std::string longPath = longBase + "\\" + std::string(400, 'p');
  char relative[kPathTextSize + 8];
  std::memset(relative, 'X', sizeof(relative));
  // A base longer than any path the system holds never matches.
  EXPECT_FALSE(IsUnderBase(longBase.c_str(), longPath.c_str(), relative));
  // A long relative part is cut to the buffer.
  EXPECT_TRUE(IsUnderBase("D:\\data", ("D:\\data\\" + std::string(1000, 'p')).c_str(), relative));
  EXPECT_EQ(std::strlen(relative), static_cast<size_t>(kPathTextSize - 1));
  EXPECT_EQ(relative[kPathTextSize], 'X');
}

}  // namespace

namespace {

TEST(MakeLiteralPath, OnlyAbsoluteDrivePathsWithATrimmableName) {
  struct Case {
    const char* path;
    const char* literal;  // nullptr: the plain path serves
  };
  const Case cases[] = {
      {"C:\\data\\notes ", "\\\\?\\C:\\data\\notes "},
      {"C:\\data\\draft.", "\\\\?\\C:\\data\\draft."},
      {"C:\\folder \\sub/file.txt", "\\\\?\\C:\\folder \\sub\\file.txt"},
      {"C:\\folder \\*.*", "\\\\?\\C:\\folder \\*.*"},
      {"C:\\data\\plain.txt", nullptr},
      {"C:\\data\\", nullptr},
      {"data\\notes ", nullptr},           // relative: left to the ordinary rules
      {"\\\\server\\share\\x ", nullptr},  // not a drive path
      {"C:\\a\\..\\notes ", nullptr},      // ".." would no longer be resolved
      {"C:\\a\\.\\notes ", nullptr},
      {"C:\\a\\\\notes ", nullptr},        // an empty component
  };
  for (const Case& c : cases) {
    char output[kLiteralPathSize];
    bool made = MakeLiteralPath(c.path, output, sizeof output);
    EXPECT_EQ(made, c.literal != nullptr) << c.path;
    if (made && c.literal) {
      EXPECT_STREQ(output, c.literal) << c.path;
    }
  }
}

TEST(MakeLiteralPath, RefusesWhenTheLiteralFormDoesNotFit) {
  std::string path = "C:\\" + std::string(250, 'n') + " ";
  char small[16];
  EXPECT_FALSE(MakeLiteralPath(path.c_str(), small, sizeof small));
  char fits[kLiteralPathSize];
  EXPECT_TRUE(MakeLiteralPath(path.c_str(), fits, sizeof fits));
}

}  // namespace
