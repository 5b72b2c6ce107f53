// The four most recently used summaries: File menu entries and settings keys old1..old4.
#ifndef VELMORA_SETTINGS_RECENT_FILES_H
#define VELMORA_SETTINGS_RECENT_FILES_H

enum { kRecentFileLimit = 4 };

int RecentFileCount();
const char* RecentFilePath(int index);
void ReadRecentFiles();
void WriteRecentFiles();
void AddRecentFile(const char* path);
void RebuildRecentMenu();

#endif
