// Putting files into the summary: chosen files, or whole directory trees.
#ifndef VELMORA_SUMMARY_ADDING_H
#define VELMORA_SUMMARY_ADDING_H

#include <windows.h>

#include <cstdint>

#include "digest/file_digest.h"

#include "summary/left_out.h"

extern int AddedCount;        // files added by a walk since the last title refresh
extern LeftOutCounts LeftOut;  // what the addition under way left out, and why

// Starts the counts of an addition (Add Files, Add Directory, the command line's walk).
void StartCountingAdditions();

void AddFiles(HWND owner);
bool AddChosenFile(const char* path);
// Adds the chosen names (each ended by a NUL, the list by another) of one directory, as the
// Open dialog hands over several files.
void AddSelectedNames(const char* directory, const char* firstName);
// listedSize: what the walk found for the file, if anything (see DigestFile).
int AddFileEntry(const char* path, int64_t listedSize = kSizeNotListed);
void AddDirectory(HWND owner);
void AddDirectoryTree(HWND owner, const char* directory);
// Tells in the status bar what an addition left out, if anything.
void ReportSkippedPaths();

#endif
