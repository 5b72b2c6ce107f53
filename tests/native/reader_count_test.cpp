#include "digest/reader_count.h"

#include <gtest/gtest.h>

TEST(ReaderCount, OnePerProcessorUpToEightAndOneForARotatingDisk) {
  struct Case {
    int processors;
    SeekPenalty penalty;
    int readers;
  } const cases[] = {
      {1, SeekPenalty::kNone, 1},      {2, SeekPenalty::kNone, 2},
      {8, SeekPenalty::kNone, 8},      {16, SeekPenalty::kNone, 8},
      {4, SeekPenalty::kUnknown, 4},   {64, SeekPenalty::kUnknown, 8},
      {16, SeekPenalty::kIncurred, 1}, {2, SeekPenalty::kIncurred, 1},
      {0, SeekPenalty::kNone, 1},      {-3, SeekPenalty::kUnknown, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseReaderCount(c.processors, c.penalty), c.readers)
        << c.processors << " processors, penalty " << static_cast<int>(c.penalty);
  }
}
