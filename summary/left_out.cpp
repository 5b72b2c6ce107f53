#include "summary/left_out.h"

#include "common/bounded_text.h"

namespace {

void AppendReason(int count, const char* format, char* out, size_t outSize) {
  if (count == 0) return;
  char reason[80];
  FormatText(reason, sizeof reason, format, count);
  if (out[0] != '\0') AppendText(out, outSize, "; ");
  AppendText(out, outSize, reason);
}

}  // namespace

void FormatLeftOutText(const LeftOutCounts& counts, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  AppendReason(counts.unreadableFiles, "%d files skipped: cannot be read", out, outSize);
  AppendReason(counts.unlistedFolders, "%d folders skipped: cannot be listed", out, outSize);
  AppendReason(counts.longPaths, "%d files or folders skipped: path too long", out, outSize);
  AppendReason(counts.outOfMemory, "%d files skipped: out of memory", out, outSize);
  AppendReason(counts.notUnderBase, "%d files or folders skipped: not under the Base Directory",
               out, outSize);
}
