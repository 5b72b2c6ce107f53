#include "summary/name_index.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace {

TEST(NameIndex, ExactCaseSensitiveMembership) {
  NameIndex index;
  index.Add("dir/a.txt");
  EXPECT_TRUE(index.Contains("dir/a.txt"));
  EXPECT_FALSE(index.Contains("dir/A.txt"));
  EXPECT_FALSE(index.Contains("dir/a.txt "));
  EXPECT_FALSE(index.Contains("dir/a.tx"));
}

TEST(NameIndex, ANameListedTwiceStaysUntilBothAreRemoved) {
  NameIndex index;
  index.Add("x");
  index.Add("x");
  EXPECT_EQ(index.Count(), 2u);
  index.Remove("x");
  EXPECT_TRUE(index.Contains("x"));
  index.Remove("x");
  EXPECT_FALSE(index.Contains("x"));
  EXPECT_EQ(index.Count(), 0u);
}

TEST(NameIndex, RemovingAnUnlistedNameChangesNothing) {
  NameIndex index;
  index.Add("a");
  index.Remove("b");
  EXPECT_EQ(index.Count(), 1u);
  index.Clear();
  EXPECT_FALSE(index.Contains("a"));
  index.Add("a");  // deleted, then added again
  EXPECT_TRUE(index.Contains("a"));
}

// The names are spread over many tables that grow each on its own: through every growth, and
// whatever table a name sits in, the answers must be those of a plain count of the names.
TEST(NameIndex, AgreesWithACountOfTheNamesThroughEveryGrowth) {
  NameIndex index;
  std::map<std::string, int> expected;
  size_t expectedCount = 0;
  std::mt19937 random(7);
  auto check = [&](int step) {
    ASSERT_EQ(index.Count(), expectedCount) << step;
    for (int probe = 0; probe < 8; ++probe) {
      std::string name = "f" + std::to_string(random() % 12000);
      ASSERT_EQ(index.Contains(name.c_str()), expected.count(name) != 0) << step << " " << name;
    }
  };
  for (int step = 0; step < 50000; ++step) {
    std::string name = "f" + std::to_string(random() % 12000);
    unsigned action = random() % 10;
    if (step == 25000) {  // everything goes, as when a list is closed, and fills up again
      index.Clear();
      expected.clear();
      expectedCount = 0;
    } else if (action < 6) {  // mostly new names, some listed twice or more
      index.Add(name.c_str());
      ++expected[name];
      ++expectedCount;
    } else {
      index.Remove(name.c_str());
      auto found = expected.find(name);
      if (found != expected.end()) {
        --expectedCount;
        if (--found->second == 0) expected.erase(found);
      }
    }
    check(step);
    if (HasFatalFailure()) return;
  }
  for (const auto& listed : expected) EXPECT_TRUE(index.Contains(listed.first.c_str()));
}

// Names added in order, as a walk adds them, then listed twice, removed and added again in
// another case, while the tables grow around them.
TEST(NameIndex, NamesAddedRemovedAndAddedAgainWhileTheIndexGrows) {
  NameIndex index;
  const int kNames = 5000;
  for (int i = 0; i < kNames; ++i) {
    index.Add(("dir\\file" + std::to_string(i)).c_str());
    // The first name: listed since the start, moved with every growth of its table.
    ASSERT_TRUE(index.Contains("dir\\file0")) << i;
    ASSERT_FALSE(index.Contains(("dir\\file" + std::to_string(i + 1)).c_str())) << i;
  }
  for (int i = 0; i < kNames; i += 7) {
    index.Add(("dir\\file" + std::to_string(i)).c_str());  // now listed twice
    index.Remove(("dir\\file" + std::to_string(i)).c_str());
    EXPECT_TRUE(index.Contains(("dir\\file" + std::to_string(i)).c_str())) << i;
    index.Remove(("dir\\file" + std::to_string(i)).c_str());
    EXPECT_FALSE(index.Contains(("dir\\file" + std::to_string(i)).c_str())) << i;
    index.Add(("dir\\FILE" + std::to_string(i)).c_str());  // differs only in case
    EXPECT_FALSE(index.Contains(("dir\\file" + std::to_string(i)).c_str())) << i;
  }
  EXPECT_EQ(index.Count(), static_cast<size_t>(kNames));
}

}  // namespace
