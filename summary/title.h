// The window title and the Base Directory label: the only writers of CurrentSummaryPath and
// BaseDirectory, so what they show never disagrees with the state.
#ifndef VELMORA_SUMMARY_TITLE_H
#define VELMORA_SUMMARY_TITLE_H

#include <windows.h>

void UpdateTitle(HWND window, const char* path);  // path may be null: refresh the count
void ShowBaseDirectory(const char* text);

#endif
