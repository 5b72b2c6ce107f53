// The recent summaries at the foot of the File menu, rebuilt from the list the settings keep.
#ifndef VELMORA_APP_RECENT_MENU_H
#define VELMORA_APP_RECENT_MENU_H

// Puts a summary first in the list and shows the list in the menu.
void AddRecentFile(const char* path);
void RebuildRecentMenu();

#endif
