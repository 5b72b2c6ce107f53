#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/paths.h"
#include "settings/placement.h"
#include "settings/recent_list_rules.h"

namespace {

TEST(IsPlacementUsable, EdgesOfA1024By768Screen) {
  const struct {
    int x, y, width, height;
    bool usable;
  } cases[] = {
      {0, 0, 5, 5, true},         {1018, 0, 400, 300, true}, {1019, 0, 400, 300, false},
      {0, 762, 400, 300, true},   {0, 763, 400, 300, false}, {-1, 10, 400, 300, false},
      {10, -1, 400, 300, false},  {10, 10, 4, 300, false},   {10, 10, 400, 4, false},
      {10, 10, 5000, 5000, true}, {-1, -1, -1, -1, false},   {10, 10, 0, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPlacementUsable(c.x, c.y, c.width, c.height, 1024, 768), c.usable)
        << c.x << "," << c.y << " " << c.width << "x" << c.height;
  }
}

TEST(ColumnWidthFromSetting, NonPositiveBecomesTheDefault) {
  const struct {
    int stored;
    int width;
  } cases[] = {{0, 180}, {-1, 180}, {-500, 180}, {1, 1}, {250, 250}};
  for (const auto& c : cases) EXPECT_EQ(ColumnWidthFromSetting(c.stored), c.width) << c.stored;
}

TEST(ColumnWidthAtDpi, WidthsComeFromTheirDpiAndNoneComesBackShut) {
  const struct {
    int stored, storedDpi, dpi;
    int width;
  } cases[] = {
      {180, 96, 96, 180},   {300, 192, 96, 150},  {151, 192, 96, 76},   {200, 96, 144, 300},
      {7, 144, 96, 5},      {300, 0, 144, 450},   {300, -96, 96, 300},  {300, 47, 96, 300},
      {300, 48, 96, 600},   {300, 960, 96, 30},   {300, 961, 96, 300},  {1, 480, 96, 1},
      {2147483647, 96, 192, 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnWidthAtDpi(c.stored, c.storedDpi, c.dpi), c.width)
        << c.stored << " stored at " << c.storedDpi << ", shown at " << c.dpi;
  }
}

TEST(DecideSettingsWrite, WindowStateAndEdges) {
  const struct {
    const char* what;
    bool maximised, minimised;
    int left, top, width, height;
    SettingsWrite decision;
  } cases[] = {
      {"normal", false, false, 10, 20, 800, 600, kWritePlacementAndRest},
      {"at the origin, smallest", false, false, 0, 0, 5, 5, kWritePlacementAndRest},
      {"maximised", true, false, -8, -8, 1040, 790, kWriteAllButPlacement},
      {"minimised", false, true, -32000, -32000, 160, 28, kWriteAllButPlacement},
      {"left of the primary display", false, false, -1200, 10, 800, 600, kWriteNothing},
      {"above the primary display", false, false, 10, -1, 800, 600, kWriteNothing},
      {"too narrow", false, false, 10, 10, 4, 600, kWriteNothing},
      {"too low", false, false, 10, 10, 800, 4, kWriteNothing},
      {"beyond the right edge is still written", false, false, 5000, 10, 800, 600,
       kWritePlacementAndRest},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideSettingsWrite(c.maximised, c.minimised, c.left, c.top, c.width, c.height),
              c.decision)
        << c.what;
  }
}

class RecentListTest : public ::testing::Test {
 protected:
  RecentListTest() : list_() {}
  ~RecentListTest() override { ClearRecentList(&list_); }

  bool Add(const char* path) { return AddRecentPath(&list_, path, AsciiCaseCompare); }

  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int i = 0; i < list_.count; ++i) paths.push_back(list_.paths[i]);
    return paths;
  }

  RecentList list_;
};

TEST_F(RecentListTest, NewPathsGoFirstAndTheOldestLeaves) {
  EXPECT_TRUE(Add("a.md5"));
  EXPECT_TRUE(Add("b.md5"));
  EXPECT_TRUE(Add("c.md5"));
  EXPECT_TRUE(Add("d.md5"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"d.md5", "c.md5", "b.md5", "a.md5"}));
  EXPECT_TRUE(Add("e.md5"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"e.md5", "d.md5", "c.md5", "b.md5"}));
  for (int i = list_.count; i < kMaxRecentFiles; ++i) EXPECT_EQ(list_.paths[i], nullptr);
}

TEST_F(RecentListTest, KnownPathMovesToTheFrontWithItsStoredText) {
  Add("c:\\other.md5");
  Add("D:\\Data\\X.md5");
  Add("e:\\first.md5");
  EXPECT_TRUE(Add("d:\\data\\x.md5"));
  EXPECT_EQ(Paths(),
            (std::vector<std::string>{"D:\\Data\\X.md5", "e:\\first.md5", "c:\\other.md5"}));
  EXPECT_TRUE(Add("C:\\OTHER.MD5"));
  EXPECT_EQ(Paths(),
            (std::vector<std::string>{"c:\\other.md5", "D:\\Data\\X.md5", "e:\\first.md5"}));
}

TEST_F(RecentListTest, FirstEntryAgainNeedsNoRebuild) {
  Add("a.md5");
  Add("b.md5");
  EXPECT_FALSE(Add("B.MD5"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"b.md5", "a.md5"}));
}

TEST_F(RecentListTest, NullCompareFallsBackToAsciiFolding) {
  Add("a.md5");
  Add("b.md5");
  EXPECT_TRUE(AddRecentPath(&list_, "A.MD5", nullptr));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a.md5", "b.md5"}));
}

TEST_F(RecentListTest, ReadingAppendsUntilAGapOrAFullList) {
  EXPECT_TRUE(AppendRecentPath(&list_, "old1"));
  EXPECT_TRUE(AppendRecentPath(&list_, "old2"));
  EXPECT_FALSE(AppendRecentPath(&list_, ""));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"old1", "old2"}));
  EXPECT_TRUE(AppendRecentPath(&list_, "old3"));
  EXPECT_TRUE(AppendRecentPath(&list_, "old4"));
  EXPECT_FALSE(AppendRecentPath(&list_, "old5"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"old1", "old2", "old3", "old4"}));
}

TEST_F(RecentListTest, ClearReleasesEverything) {
  Add("a.md5");
  Add("b.md5");
  ClearRecentList(&list_);
  EXPECT_EQ(list_.count, 0);
  for (char* path : list_.paths) EXPECT_EQ(path, nullptr);
  EXPECT_TRUE(Add("a.md5"));
}

TEST(FormatRecentMenuText, NumberThenPathWithAmpersandsDoubled) {
  const struct {
    int index;
    const char* path;
    const char* text;
  } cases[] = {
      {0, "C:\\sums.md5", "&1 C:\\sums.md5"},
      {3, "D:\\R&D\\a&&b.md5", "&4 D:\\R&&D\\a&&&&b.md5"},
      {1, "&", "&2 &&"},
      {2, "", "&3 "},
  };
  for (const auto& c : cases) {
    char out[kRecentMenuTextSize];
    FormatRecentMenuText(c.index, c.path, out, sizeof(out));
    EXPECT_STREQ(out, c.text) << c.path;
  }
}

TEST(FormatRecentMenuText, BoundedWithoutSplittingAPair) {
  const std::string ampersands(259, '&');
  char out[kRecentMenuTextSize];
  FormatRecentMenuText(0, ampersands.c_str(), out, sizeof(out));
  const std::string text = out;
  // "&1 " and as many whole pairs as fit in 295 characters: 146 pairs.
  EXPECT_EQ(text, "&1 " + std::string(2 * 146, '&'));

  // An odd room left over: the last pair is left out rather than cut.
  const std::string mixed = "x" + ampersands;
  FormatRecentMenuText(0, mixed.c_str(), out, sizeof(out));
  EXPECT_EQ(std::string(out), "&1 x" + std::string(2 * 145, '&'));

  // Plain characters fill the buffer to its last byte.
  const std::string plain(400, 'p');
  FormatRecentMenuText(0, plain.c_str(), out, sizeof(out));
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(kRecentMenuTextSize - 1));
}

}  // namespace
