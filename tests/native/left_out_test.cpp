#include "summary/left_out.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FormatLeftOutText, EachReasonThatOccurredInOneShortText) {
  const struct {
    LeftOutCounts counts;
    const char* text;
  } cases[] = {
      {{0, 0, 0}, ""},
      {{0, 0, 2}, "2 files or folders skipped: path too long"},  // as before any other count
      {{1, 0, 0}, "1 files skipped: cannot be read"},
      {{0, 3, 0}, "3 folders skipped: cannot be listed"},
      {{4, 0, 1}, "4 files skipped: cannot be read; 1 files or folders skipped: path too long"},
      {{12, 5, 100000, 0},
       "12 files skipped: cannot be read; 5 folders skipped: cannot be listed; "
       "100000 files or folders skipped: path too long"},
      {{0, 0, 1, 3}, "1 files or folders skipped: path too long; 3 files skipped: out of memory"},
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
