// The rules of a recent-summaries list, platform-free: four paths at most, most recent first, as
// owned heap copies, and their menu texts. The program's own list and its storage are in
// recent_files_store.h.
#ifndef VELMORA_SETTINGS_RECENT_LIST_RULES_H
#define VELMORA_SETTINGS_RECENT_LIST_RULES_H

#include <cstddef>

#include "common/paths.h"

enum { kMaxRecentFiles = 4, kRecentMenuTextSize = 296 };

struct RecentList {
  char* paths[kMaxRecentFiles];
  int count;
};

// Releases every entry; also makes a zero-filled list ready for use.
void ClearRecentList(RecentList* list);

// Puts path first. A path already held (compared by compare) moves to the front with its
// stored text; a new one is copied and the oldest dropped when the list is full. Returns
// whether the menu must be rebuilt: false when path was already first or could not be copied.
bool AddRecentPath(RecentList* list, const char* path, TextCompareFn compare);

// Appends path while reading the settings; false (nothing changed) when path is empty, the
// list is full or no copy could be made, which ends the reading.
bool AppendRecentPath(RecentList* list, const char* path);

// Menu text of entry index (counted from 0): "&<index + 1> " and path with every '&' doubled,
// cut to outSize (kRecentMenuTextSize) without splitting a doubled '&'.
void FormatRecentMenuText(int index, const char* path, char* out, size_t outSize);

#endif
