// The program's recent summaries, stored in the settings file's keys old1..old4 and kept in
// order by the rules of recent_list_rules.h.
#ifndef VELMORA_SETTINGS_RECENT_FILES_STORE_H
#define VELMORA_SETTINGS_RECENT_FILES_STORE_H

enum { kRecentFileLimit = 4 };

int RecentFileCount();
const char* RecentFilePath(int index);
void ReadRecentFiles();
void WriteRecentFiles();
// Puts path first; false when nothing changed (it was first already, or could not be kept).
bool PutRecentFileFirst(const char* path);

#endif
