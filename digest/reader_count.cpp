#include "digest/reader_count.h"

int ChooseReaderCount(int logicalProcessors, SeekPenalty penalty) {
  if (penalty == SeekPenalty::kIncurred || logicalProcessors < 1) return 1;
  return logicalProcessors < kMaxReaders ? logicalProcessors : kMaxReaders;
}
