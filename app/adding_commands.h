// Add Files and Add Directory, and the command line's walk: each an addition run as one long
// operation.
#ifndef VELMORA_APP_ADDING_COMMANDS_H
#define VELMORA_APP_ADDING_COMMANDS_H

#include <windows.h>

void AddFiles(HWND owner);
void AddDirectory(HWND owner);
// Adds a whole tree under the Base Directory as one long operation.
void AddTreeAsOperation(const char* directory);

#endif
