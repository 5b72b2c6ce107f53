#include "summary/name_index.h"

#include <gtest/gtest.h>

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

}  // namespace
