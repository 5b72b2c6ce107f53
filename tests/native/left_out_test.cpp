#include "summary/left_out.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FormatLeftOutText, EachReasonThatOccurredInOneShortTextOneOrMany) {
  const struct {
    LeftOutCounts counts;
    const char* text;
  } cases[] = {
      {{0, 0, 0}, ""},
      {{1, 0, 0}, "1 file left out: cannot be read"},
      {{0, 1, 0}, "1 folder left out: cannot be listed"},
      {{0, 0, 1}, "1 file or folder left out: path too long"},
      {{0, 0, 0, 1}, "1 file left out: out of memory"},
      {{0, 0, 2}, "2 files or folders left out: path too long"},  // as before any other count
      {{0, 3, 0}, "3 folders left out: cannot be listed"},
      {{4, 0, 1}, "4 files left out: cannot be read; 1 file or folder left out: path too long"},
      {{1, 1, 1, 1},
       "1 file left out: cannot be read; 1 folder left out: cannot be listed; "
       "1 file or folder left out: path too long; 1 file left out: out of memory"},
      {{12, 5, 100000, 0},
       "12 files left out: cannot be read; 5 folders left out: cannot be listed; "
       "100000 files or folders left out: path too long"},
      {{0, 0, 1, 3}, "1 file or folder left out: path too long; 3 files left out: out of memory"},
      {{0, 0, 0, 0, 1}, "1 file or folder left out: not under the Base Directory"},
      {{2, 0, 0, 1, 7},
       "2 files left out: cannot be read; 1 file left out: out of memory; "
       "7 files or folders left out: not under the Base Directory"},
  };
  for (const auto& c : cases) {
    char text[256] = "stale";
    FormatLeftOutText(c.counts, text, sizeof text);
    EXPECT_EQ(std::string(text), c.text);
  }
  char small[10];
  FormatLeftOutText({12, 5, 7, 0}, small, sizeof small);
  EXPECT_EQ(std::string(small), "12 files ");  // cut, and terminated within its buffer
}

}  // namespace
