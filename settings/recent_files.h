// The four most recently used summaries, kept in settings keys old1..old4.
#ifndef VELMORA_SETTINGS_RECENT_FILES_H
#define VELMORA_SETTINGS_RECENT_FILES_H

enum { kRecentFileLimit = 4 };

int RecentFileCount();
const char* RecentFilePath(int index);
void ReadRecentFiles();
void WriteRecentFiles();
// Puts path first; false when nothing changed (it was first already, or could not be kept).
bool PutRecentFileFirst(const char* path);

#endif
