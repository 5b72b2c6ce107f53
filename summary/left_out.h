// What an addition left out, for the one short status text at its end: nothing is left out
// without a word. Platform-free.
#ifndef VELMORA_SUMMARY_LEFT_OUT_H
#define VELMORA_SUMMARY_LEFT_OUT_H

#include <cstddef>

struct LeftOutCounts {
  int unreadableFiles = 0;  // there, but could not be opened or read (held open, no access)
  int unlistedFolders = 0;  // there, but could not be listed
  int longPaths = 0;        // files and folders whose path passes the system's limit
  int outOfMemory = 0;      // read, but memory ran out for their entries
  int notUnderBase = 0;     // dropped files and folders outside the Base Directory
};

// The status text for the counts, "" when nothing was left out; each reason that occurred,
// in the order above, joined by "; ".
void FormatLeftOutText(const LeftOutCounts& counts, char* out, size_t outSize);

#endif
