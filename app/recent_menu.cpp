#include "app/recent_menu.h"

#include <windows.h>

#include "app/app_state.h"
#include "common/code_pages.h"
#include "resources/resource.h"
#include "settings/recent_files_store.h"
#include "settings/recent_list_rules.h"

namespace {

int FindExitPosition(HMENU fileMenu) {
  int count = GetMenuItemCount(fileMenu);
  for (int position = 0; position < count; ++position) {
    if (GetMenuItemID(fileMenu, position) == IDM_EXIT) return position;
  }
  return -1;
}

}  // namespace

void AddRecentFile(const char* path) {
  if (PutRecentFileFirst(path)) RebuildRecentMenu();
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
  if (RecentFileCount() == 0) return;
  AppendMenuA(fileMenu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < RecentFileCount(); ++i) {
    char text[kRecentMenuTextSize];
    FormatRecentMenuText(i, RecentFilePath(i), text, sizeof text);
    DropSplitCharacter(text);  // a long UTF-8 path may have been cut inside a character
    AppendMenuA(fileMenu, MF_STRING, IDM_RECENT_FIRST + i, text);
  }
}
