// Putting files into the summary: chosen files, or whole directory trees, each read and listed
// under the Base Directory. The window's commands run these as long operations.
#ifndef VELMORA_SUMMARY_ADDING_H
#define VELMORA_SUMMARY_ADDING_H

#include <cstdint>
#include <string>
#include <vector>

#include "digest/file_digest.h"
#include "summary/left_out.h"

extern LeftOutCounts LeftOut;  // what the addition under way left out, and why

extern const char kFolderNotUnderBase[];  // "The selected directory must be UNDER the Base Directory!"

// Starts the counts of an addition (Add Files, Add Directory, the command line's walk).
void StartCountingAdditions();

bool AddChosenFile(const char* path);
// Adds the chosen names (each ended by a NUL, the list by another) of one directory, as the
// Open dialog hands over several files.
void AddSelectedNames(const char* directory, const char* firstName);
// listedSize: what the walk found for the file, if anything (see DigestFile).
int AddFileEntry(const char* path, int64_t listedSize = kSizeNotListed);
void AddDirectoryTree(const char* directory);
// Adds files and whole folders in the given order, as Add Files and Add Directory add them:
// what is not under the Base Directory is refused with their messages, a file path too long
// with "Too long filename", a folder path too long is left out and counted.
void AddPaths(const std::vector<std::string>& paths);

#endif
