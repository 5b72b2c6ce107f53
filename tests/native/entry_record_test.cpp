#include "summary/entry_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/bounded_text.h"

namespace {

SummaryEntry MakeEntry(const char* name, const char* digest, int32_t status, int32_t sizeKb) {
  SummaryEntry entry;
  entry.status = status;
  entry.sizeKb = sizeKb;
  CopyText(entry.digest, sizeof(entry.digest), digest);
  entry.name = name;  // the callers' literals outlive the entries
  return entry;
}

TEST(StatusText, TextsOfTheSevenCodes) {
  const char* const texts[] = {"Not Verified",  "OK",         "Mismatch", "Missing", "Read Error",
                               "Out of memory", "Interrupted"};
  for (int status = kStatusNotVerified; status <= kStatusInterrupted; ++status) {
    EXPECT_STREQ(StatusText(status), texts[status]);
  }
  EXPECT_STREQ(StatusText(-1), "");
  EXPECT_STREQ(StatusText(7), "");
}

TEST(CompareEntries, EachColumnAscendingAndDescending) {
  const struct {
    const char* what;
    SummaryEntry a;
    SummaryEntry b;
    int column;
    int ascending;  // expected result when ascending; descending is its negation
  } cases[] = {
      {"names fold ASCII case", MakeEntry("ABC/x.txt", "", 0, 0), MakeEntry("abc/X.TXT", "", 0, 0),
       kColumnName, 0},
      {"names order", MakeEntry("b", "", 0, 0), MakeEntry("A", "", 0, 0), kColumnName, 1},
      {"name prefix first", MakeEntry("ab", "", 0, 0), MakeEntry("AbC", "", 0, 0), kColumnName, -1},
      {"non-ASCII letters do not fold", MakeEntry("\xC4", "", 0, 0), MakeEntry("\xE4", "", 0, 0),
       kColumnName, -1},
      {"bytes above 0x7F after ASCII", MakeEntry("\xE4", "", 0, 0), MakeEntry("z", "", 0, 0),
       kColumnName, 1},
      {"digest is case-sensitive", MakeEntry("", "ABC", 0, 0), MakeEntry("", "abc", 0, 0),
       kColumnDigest, -1},
      {"digest equal", MakeEntry("x", "abc", 0, 0), MakeEntry("y", "abc", 1, 1), kColumnDigest, 0},
      {"digest prefix first", MakeEntry("", "abc", 0, 0), MakeEntry("", "abcd", 0, 0),
       kColumnDigest, -1},
      {"digest bytes unsigned", MakeEntry("", "\xF0", 0, 0), MakeEntry("", "a", 0, 0),
       kColumnDigest, 1},
      {"status signed", MakeEntry("", "", -1, 0), MakeEntry("", "", 2, 0), kColumnStatus, -1},
      {"status equal", MakeEntry("a", "", 3, 0), MakeEntry("b", "", 3, 0), kColumnStatus, 0},
      {"size order", MakeEntry("", "", 0, 1000), MakeEntry("", "", 0, 999), kColumnSize, 1},
      {"no size after every size", MakeEntry("", "", 0, -1), MakeEntry("", "", 0, 2147483647),
       kColumnSize, 1},
      {"sizes beyond 2^31 unsigned", MakeEntry("", "", 0, -2), MakeEntry("", "", 0, 5), kColumnSize,
       1},
      {"unknown column", MakeEntry("a", "a", 0, 0), MakeEntry("b", "b", 1, 1), 4, 0},
      {"negative column", MakeEntry("a", "a", 0, 0), MakeEntry("b", "b", 1, 1), -1, 0},
  };
  for (const auto& c : cases) {
    const int expected = c.ascending;
    EXPECT_EQ(CompareEntries(&c.a, &c.b, c.column, true), expected) << c.what;
    EXPECT_EQ(CompareEntries(&c.a, &c.b, c.column, false), -expected) << c.what;
    EXPECT_EQ(CompareEntries(&c.b, &c.a, c.column, true), -expected) << c.what << ", swapped";
  }
}

TEST(CompareEntries, SortingBySizePutsMissingSizesLastThenFirst) {
  std::vector<SummaryEntry> entries = {MakeEntry("a", "", 0, -1), MakeEntry("b", "", 1, 5),
                                       MakeEntry("c", "", 0, -1), MakeEntry("d", "", 1, 1)};
  const auto sortBy = [&entries](bool ascending) {
    std::stable_sort(entries.begin(), entries.end(),
                     [ascending](const SummaryEntry& x, const SummaryEntry& y) {
                       return CompareEntries(&x, &y, kColumnSize, ascending) < 0;
                     });
    std::string order;
    for (const SummaryEntry& entry : entries) order += entry.name;
    return order;
  };
  EXPECT_EQ(sortBy(true), "dbac");
  EXPECT_EQ(sortBy(false), "acbd");
}

TEST(FormatKilobytes, GroupsOfThreeWithAnySeparator) {
  const struct {
    int32_t value;
    const char* separator;
    const char* text;
  } cases[] = {
      {0, ",", "0"},
      {999, ",", "999"},
      {1000, ",", "1,000"},
      {1234, ".", "1.234"},
      {123456, ",", "123,456"},
      {1234567, ",", "1,234,567"},
      {-2, ",", "4,294,967,294"},
      {-1, ",", "4,294,967,295"},
      {1234567, "", "1234567"},
      {1234567, "\xC2\xA0",
       "1\xC2\xA0"
       "234\xC2\xA0"
       "567"},
      {1000000, "<sep>", "1<sep>000<sep>000"},
  };
  for (const auto& c : cases) {
    char out[kSizeTextSize];
    FormatKilobytes(c.value, c.separator, out, sizeof(out));
    EXPECT_STREQ(out, c.text) << c.value;
  }
}

TEST(FormatKilobytes, StaysInsideASmallBuffer) {
  // The address sanitizer catches a write past the buffer; the text shows where it was cut.
  char out[8];
  FormatKilobytes(-2, "::", out, sizeof(out));
  EXPECT_STREQ(out, "4::294:");
}

TEST(FormatSizeText, EmptyForNoSizeElseKilobytes) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {
      {-1, ""}, {1, "1 K  "}, {999, "999 K  "}, {1000, "1,000 K  "}, {-2, "4,294,967,294 K  "},
  };
  for (const auto& c : cases) {
    char out[kSizeTextSize];
    FormatSizeText(c.value, ",", out, sizeof(out));
    EXPECT_STREQ(out, c.text) << c.value;
  }
}

}  // namespace
