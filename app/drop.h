// Files and folders dropped on the main window from the file manager.
#ifndef VELMORA_APP_DROP_H
#define VELMORA_APP_DROP_H

#include <windows.h>

#include <shellapi.h>

// A lone summary (a name ending in .md5) is opened as File > Open opens it; anything else is
// added as Add Files and Add Directory add it, in the order of the drop, a shortcut by its
// target. A drop while busy is ignored. Releases the drop in any case.
LRESULT OnDropFiles(HWND window, HDROP drop);

#endif
