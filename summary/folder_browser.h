// The system folder browser, opened at a given folder.
#ifndef VELMORA_SUMMARY_FOLDER_BROWSER_H
#define VELMORA_SUMMARY_FOLDER_BROWSER_H

#include <windows.h>

// path (at least MAX_PATH bytes): in, the folder to select; out, the chosen folder.
bool ChooseFolder(HWND owner, const char* prompt, char* path);

#endif
