#include "app/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
  bool ok;
  std::string generate;  // "(none)" when absent
  std::string check;
  std::string summary;
};

std::string OrNone(const char* text) { return text != nullptr ? text : "(none)"; }

Parsed Parse(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back('\0');
  StartupRequest request;
  Parsed parsed;
  parsed.ok = ParseCommandLine(text.data(), &request);
  parsed.generate = OrNone(request.generateDirectory);
  parsed.check = OrNone(request.checkDirectory);
  parsed.summary = OrNone(request.summaryName);
  FreeStartupRequest(&request);
  return parsed;
}

TEST(ParseCommandLine, AcceptedLines) {
  const struct {
    const char* line;
    const char* generate;
    const char* check;
    const char* summary;
  } cases[] = {
      {"-g C:\\data", "C:\\data", "(none)", "(none)"},
      {"-gC:\\data", "C:\\data", "(none)", "(none)"},
      {"-g \"C:\\data\"", "C:\\data", "(none)", "(none)"},
      {"-g 'C:\\data'", "C:\\data", "(none)", "(none)"},
      {"-G\t C:\\data", "C:\\data", "(none)", "(none)"},
      {"-g \"say \\\"hi\\\"\"", "say \"hi\"", "(none)", "(none)"},
      {"-g \"a\\b\"", "a\\b", "(none)", "(none)"},
      {"-g 'it\\'s'", "it's", "(none)", "(none)"},
      {"-g 'a\"b'", "a\"b", "(none)", "(none)"},
      {"-g \"My Files\" rest", "My Files", "(none)", "rest"},
      {"-g ab\"cd", "ab\"cd", "(none)", "(none)"},
      {"-- -g x", "(none)", "(none)", "-g x"},
      {"--   sums.md5", "(none)", "(none)", "sums.md5"},
      {"-g one -g two", "two", "(none)", "(none)"},
      {"-c D:\\x -C D:\\y sums.md5", "(none)", "D:\\y", "sums.md5"},
      {"-g a -c b my sums.md5  ", "a", "b", "my sums.md5  "},
      {"C:\\My Sums\\all files.md5", "(none)", "(none)", "C:\\My Sums\\all files.md5"},
      {"", "(none)", "(none)", "(none)"},
      {"   \t ", "(none)", "(none)", "(none)"},
      {"-", "(none)", "(none)", "(none)"},
      {"- sums.md5", "(none)", "(none)", "sums.md5"},
      {"\t-g\tx\ty", "x", "(none)", "y"},
      {"-g x-c", "x-c", "(none)", "(none)"},
      {"-gx -cy", "x", "y", "(none)"},
  };
  for (const auto& c : cases) {
    const Parsed parsed = Parse(c.line);
    EXPECT_TRUE(parsed.ok) << c.line;
    EXPECT_EQ(parsed.generate, c.generate) << c.line;
    EXPECT_EQ(parsed.check, c.check) << c.line;
    EXPECT_EQ(parsed.summary, c.summary) << c.line;
  }
}

TEST(ParseCommandLine, UsageErrors) {
  const char* const lines[] = {
      "-x",             // not an option
      "-g",             // missing argument
      "-g   ",          // only blanks after it
      "-g \"C:\\data",  // no closing quote
      "-g 'C:\\data",   // no closing single quote
      "-g \"abc\\",     // ends right after a backslash
      "-:",             // ':' is found in the option string, yet is no option
      "-g a -q b",      // a bad option after a good one
  };
  for (const char* line : lines) {
    const Parsed parsed = Parse(line);
    EXPECT_FALSE(parsed.ok) << line;
    EXPECT_EQ(parsed.generate, "(none)") << line << ": nothing kept after an error";
  }
}

TEST(ParseCommandLine, ArgumentLengthLimit) {
  const std::string longest(kMaxOptionArgument, 'a');
  Parsed parsed = Parse("-g " + longest);
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.generate, longest);
  parsed = Parse("-g " + longest + "b");
  EXPECT_FALSE(parsed.ok);
  parsed = Parse("-g \"" + longest + "\"");
  EXPECT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.generate.size(), static_cast<size_t>(kMaxOptionArgument));
  parsed = Parse("-g \"" + longest + "b\"");
  EXPECT_FALSE(parsed.ok);
}

// The scanner itself: clustering and what the cursor rests on after the options.
TEST(GetOption, ClustersOptionsWithoutArguments) {
  char line[] = "-abx rest";
  char* cursor = ResetOptionScanner(line);
  const char* argument = "unset";
  EXPECT_EQ(GetOption(&cursor, "abx:", &argument), 'a');
  EXPECT_EQ(argument, nullptr);
  EXPECT_EQ(GetOption(&cursor, "abx:", &argument), 'b');
  EXPECT_EQ(GetOption(&cursor, "abx:", &argument), 'x');
  EXPECT_STREQ(argument, "rest");
  EXPECT_EQ(GetOption(&cursor, "abx:", &argument), 0);
  EXPECT_EQ(argument, nullptr);
  EXPECT_STREQ(cursor, "");
}

TEST(GetOption, BlankAfterAnOptionEndsTheCluster) {
  char line[] = "-b  name";
  char* cursor = ResetOptionScanner(line);
  const char* argument = nullptr;
  EXPECT_EQ(GetOption(&cursor, "b", &argument), 'b');
  EXPECT_EQ(GetOption(&cursor, "b", &argument), 0);
  EXPECT_STREQ(cursor, "name");
}

TEST(GetOption, ColonIsReturnedAsAnOption) {
  char line[] = "-:";
  char* cursor = ResetOptionScanner(line);
  const char* argument = nullptr;
  EXPECT_EQ(GetOption(&cursor, "g:G:c:C:", &argument), ':');
}

TEST(GetOption, FirstResultAndCursorAfterTheOptions) {
  const struct {
    const char* line;
    int firstResult;
    const char* cursorAfter;  // checked only for an end of options
  } cases[] = {
      {"-q", '?', nullptr},
      {"  name.md5", 0, "name.md5"},
      {"--\t name", 0, "name"},
  };
  for (const auto& c : cases) {
    std::string copy = c.line;
    char* cursor = ResetOptionScanner(&copy[0]);
    const char* argument = nullptr;
    EXPECT_EQ(GetOption(&cursor, "b", &argument), c.firstResult) << c.line;
    if (c.cursorAfter != nullptr) {
      EXPECT_STREQ(cursor, c.cursorAfter) << c.line;
    }
  }
}

TEST(GetOption, EachArgumentReplacesThePreviousOne) {
  char line[] = "-g first -g 'second one' tail";
  char* cursor = ResetOptionScanner(line);
  const char* argument = nullptr;
  ASSERT_EQ(GetOption(&cursor, "g:", &argument), 'g');
  EXPECT_STREQ(argument, "first");
  ASSERT_EQ(GetOption(&cursor, "g:", &argument), 'g');
  EXPECT_STREQ(argument, "second one");
  EXPECT_EQ(GetOption(&cursor, "g:", &argument), 0);
  EXPECT_STREQ(cursor, "tail");
}

}  // namespace
