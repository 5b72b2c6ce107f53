#include "summary/left_out.h"

#include "common/bounded_text.h"

namespace {

// One reason a file or folder was left out: its count, what is counted (one, several), and why.
struct Reason {
  int LeftOutCounts::*count;
  const char* one;
  const char* several;
  const char* why;
};

const Reason kReasons[] = {
    {&LeftOutCounts::unreadableFiles, "file", "files", "cannot be read"},
    {&LeftOutCounts::unlistedFolders, "folder", "folders", "cannot be listed"},
    {&LeftOutCounts::longPaths, "file or folder", "files or folders", "path too long"},
    {&LeftOutCounts::outOfMemory, "file", "files", "out of memory"},
    {&LeftOutCounts::notUnderBase, "file or folder", "files or folders",
     "not under the Base Directory"},
};

void AppendReason(int count, const Reason& reason, char* out, size_t outSize) {
  if (count == 0) return;
  char text[80];
  FormatText(text, sizeof text, "%d %s left out: %s", count,
             count == 1 ? reason.one : reason.several, reason.why);
  if (out[0] != '\0') AppendText(out, outSize, "; ");
  AppendText(out, outSize, text);
}

}  // namespace

void FormatLeftOutText(const LeftOutCounts& counts, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  for (const Reason& reason : kReasons) AppendReason(counts.*reason.count, reason, out, outSize);
}
