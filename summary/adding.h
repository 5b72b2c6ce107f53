// Putting files into the summary: chosen files, or whole directory trees.
#ifndef VELMORA_SUMMARY_ADDING_H
#define VELMORA_SUMMARY_ADDING_H

#include <windows.h>

#include <cstdint>

#include "digest/file_digest.h"

extern int AddedCount;        // files added by a walk since the last title refresh
extern int SkippedLongPaths;  // files and folders a walk left out: their path did not fit

void AddFiles(HWND owner);
bool AddChosenFile(const char* path);
// listedSize: what the walk found for the file, if anything (see DigestFile).
int AddFileEntry(const char* path, int64_t listedSize = kSizeNotListed);
void AddDirectory(HWND owner);
void AddDirectoryTree(HWND owner, const char* directory);
// Tells in the status bar how many paths a walk left out, if any.
void ReportSkippedPaths();

#endif
