// Add Files and Add Directory, and the command line's walk: each an addition run as one long
// operation.
#ifndef VELMORA_APP_ADDING_COMMANDS_H
#define VELMORA_APP_ADDING_COMMANDS_H

#include <windows.h>

#include <string>
#include <vector>

#include "summary/left_out.h"

void AddFiles(HWND owner);
void AddDirectory(HWND owner);
// Adds a whole tree under the Base Directory as one long operation.
void AddTreeAsOperation(const char* directory);
// Adds dropped files and folders in their order as one long operation; leftOut: what of the drop
// could not be taken (its unreadable and out-of-memory counts join the addition's). What is not
// under the Base Directory or too long is counted, not told item by item. Without a Base
// Directory it says so, as the Add commands do.
void AddDroppedPaths(const std::vector<std::string>& paths, const LeftOutCounts& leftOut);

#endif
