// Help viewer and About box.
#ifndef VELMORA_APP_HELP_ABOUT_H
#define VELMORA_APP_HELP_ABOUT_H

#include <windows.h>

extern const char kHelpWindowTitle[];  // "Dorvex Usage Notes"

void ShowHelp();
void ShowAboutBox(HWND window);
// Moves the dialog to the middle of its parent from side to side; its height stays.
void CentreAcrossParent(HWND dialog);

#endif
