// New, Open, load, Save, Save As, the Base Directory's choice and the unsaved-changes prompt.
#ifndef VELMORA_APP_DOCUMENT_COMMANDS_H
#define VELMORA_APP_DOCUMENT_COMMANDS_H

#include <windows.h>

bool ConfirmDiscard(HWND window);  // true: go on
void NewSummary(HWND window);
void OpenSummary(HWND window, const char* givenDirectory);
void LoadSummary(HWND window, const char* path, const char* givenDirectory);
// Opens a summary named without the Open dialog, as File > Open opens the one chosen there.
void OpenSummaryFile(HWND window, const char* path);
void SaveSummary(HWND window);
void SaveSummaryAs(HWND window);
// Takes givenDirectory as it is, or asks for a folder starting at startFolder (null: the last
// one browsed), unless the summary already has entries under a Base Directory.
void ChooseBaseDirectory(HWND window, const char* startFolder, const char* givenDirectory);

#endif
