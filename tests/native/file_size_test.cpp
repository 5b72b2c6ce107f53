#include "digest/file_size.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeInKb, RoundsFrom511BytesAndIsAtLeastOne) {
  const struct {
    uint32_t low;
    uint32_t high;
    int32_t kb;
  } cases[] = {
      {0, 0, 1},          {510, 0, 1},
      {511, 0, 1},        {1023, 0, 1},
      {1024, 0, 1},       {1534, 0, 1},
      {1535, 0, 2},       {2048, 0, 2},
      {2048 + 510, 0, 2}, {2048 + 511, 0, 3},
      {1048576, 0, 1024}, {0, 1, 4194304},
      {1535, 1, 4194306}, {0xFFFFFFFFu, 0, 4194304},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SizeInKb(c.low, c.high), c.kb) << c.high << ":" << c.low;
  }
}

TEST(ProgressPosition, EndsAtHundredAndStartsAtZero) {
  EXPECT_EQ(ProgressPosition(32768, 32768), 100u);
  EXPECT_EQ(ProgressPosition(0, 32768), 0u);
  EXPECT_EQ(ProgressPosition(0xFFFFFFFFu, 0xFFFFFFFFu), 100u);
  EXPECT_EQ(ProgressPosition(12345, 0), 0u);
}

TEST(ProgressPosition, HalvesRoundUp) {
  // 1 of 100 is half of 2%: rounds up to 2; just under a half rounds down.
  EXPECT_EQ(ProgressPosition(1, 100), 2u);
  EXPECT_EQ(ProgressPosition(99, 10000), 0u);
  EXPECT_EQ(ProgressPosition(100, 10000), 2u);
  EXPECT_EQ(ProgressPosition(50, 100), 50u);
}

TEST(ProgressPosition, StepsAreEvenAndNeverGoBack) {
  const uint32_t totals[] = {3u * 1024 * 1024 * 1024, 32769u, 1000003u};
  for (uint32_t total : totals) {
    uint32_t last = 0;
    const uint32_t step = total / 997 + 1;
    for (uint64_t done = 0; done <= total; done += step) {
      const uint32_t position = ProgressPosition(static_cast<uint32_t>(done), total);
      EXPECT_EQ(position % 2, 0u) << done << " of " << total;
      EXPECT_GE(position, last) << done << " of " << total;
      EXPECT_LE(position, 100u);
      last = position;
    }
    EXPECT_EQ(ProgressPosition(total, total), 100u);
  }
}

}  // namespace
