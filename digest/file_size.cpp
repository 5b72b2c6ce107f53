#include "digest/file_size.h"

int32_t SizeInKb(uint32_t low, uint32_t high) {
  uint32_t kb = (high << 22) | (low >> 10);
  // 511, not 512: the size column has always rounded this way, and stored summaries agree.
  if ((low & 0x3FFu) >= 511) ++kb;
  if (kb == 0) return 1;
  return static_cast<int32_t>(kb);
}

uint32_t ProgressPosition(uint32_t bytesDone, uint32_t total) {
  if (total == 0) return 0;
  // Half of the percentage, rounded half up, then doubled: at most 50 distinct positions.
  const uint64_t scaled = static_cast<uint64_t>(bytesDone) * 50u;
  const uint64_t halfPercent = (scaled * 2 + total) / (2 * static_cast<uint64_t>(total));
  return static_cast<uint32_t>(2 * halfPercent);
}
