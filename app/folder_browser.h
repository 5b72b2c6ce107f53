// The system folder browser, opened at a given folder.
#ifndef VELMORA_APP_FOLDER_BROWSER_H
#define VELMORA_APP_FOLDER_BROWSER_H

#include <windows.h>

#include <cstddef>

// path (pathSize bytes): in, the folder to select; out, the chosen folder, unless it would not
// fit whole.
bool ChooseFolder(HWND owner, const char* prompt, char* path, size_t pathSize);

#endif
