#include "settings/recent_files.h"

#include <windows.h>

#include "app/app_state.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "resources/resource.h"
#include "settings/recent_list.h"
#include "settings/settings.h"

static_assert(static_cast<int>(kRecentFileLimit) == static_cast<int>(kMaxRecentFiles),
              "one list, one limit");

namespace {

RecentList RecentFiles = {{nullptr, nullptr, nullptr, nullptr}, 0};

int FindExitPosition(HMENU fileMenu) {
  int count = GetMenuItemCount(fileMenu);
  for (int position = 0; position < count; ++position) {
    if (GetMenuItemID(fileMenu, position) == IDM_EXIT) return position;
  }
  return -1;
}

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
    char path[kPathBufferSize];
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

void AddRecentFile(const char* path) {
  if (AddRecentPath(&RecentFiles, path, LocaleCaseCompare)) RebuildRecentMenu();
}

void RebuildRecentMenu() {
  if (!MainMenu) return;
  HMENU fileMenu = GetSubMenu(MainMenu, 0);
  int exitPosition = FindExitPosition(fileMenu);
  if (exitPosition >= 0) {
    for (int position = GetMenuItemCount(fileMenu) - 1; position > exitPosition; --position) {
      DeleteMenu(fileMenu, position, MF_BYPOSITION);
    }
  }
  if (RecentFiles.count == 0) return;
  AppendMenuA(fileMenu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < RecentFiles.count; ++i) {
    char text[kRecentMenuTextSize];
    FormatRecentMenuText(i, RecentFiles.paths[i], text, sizeof text);
    DropSplitCharacter(text);  // a long UTF-8 path may have been cut inside a character
    AppendMenuA(fileMenu, MF_STRING, IDM_RECENT_FIRST + i, text);
  }
}
