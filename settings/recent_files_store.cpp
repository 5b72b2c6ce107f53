#include "settings/recent_files_store.h"

#include <windows.h>

#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "settings/recent_list_rules.h"
#include "settings/settings.h"

static_assert(static_cast<int>(kRecentFileLimit) == static_cast<int>(kMaxRecentFiles),
              "one list, one limit");

namespace {

RecentList RecentFiles = {{nullptr, nullptr, nullptr, nullptr}, 0};

}  // namespace

int RecentFileCount() { return RecentFiles.count; }

const char* RecentFilePath(int index) {
  return index >= 0 && index < RecentFiles.count ? RecentFiles.paths[index] : "";
}

void ReadRecentFiles() {
  ClearRecentList(&RecentFiles);
  for (int n = 1; n <= kRecentFileLimit; ++n) {
    char key[8];
    FormatText(key, sizeof key, "old%d", n);
    char path[kPathTextSize];
    GetPrivateProfileStringA(kSettingsSection, key, "", path, sizeof path, kSettingsFile);
    if (path[0] == '\0' || !AppendRecentPath(&RecentFiles, path)) break;
  }
}

void WriteRecentFiles() {
  for (int n = 1; n <= kRecentFileLimit; ++n) {
    char key[8];
    FormatText(key, sizeof key, "old%d", n);
    const char* value = n <= RecentFiles.count ? RecentFiles.paths[n - 1] : nullptr;
    WritePrivateProfileStringA(kSettingsSection, key, value, kSettingsFile);
  }
}

bool PutRecentFileFirst(const char* path) {
  return AddRecentPath(&RecentFiles, path, LocaleCaseCompare);
}
