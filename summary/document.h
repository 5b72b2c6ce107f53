// New, Open, load, Save, Save As, Set Base Directory and the unsaved-changes prompt.
#ifndef VELMORA_SUMMARY_DOCUMENT_H
#define VELMORA_SUMMARY_DOCUMENT_H

#include <windows.h>

#include <string>

bool ConfirmDiscard(HWND window);  // true: go on
// Shows a file dialog (see RunFileDialog); true with a choice, after telling the user when memory
// ran out.
struct FileDialogRequest;
bool AskForFiles(const FileDialogRequest& request, std::string* chosen);
void NewSummary(HWND window);
void OpenSummary(HWND window, const char* givenDirectory);
void LoadSummary(HWND window, const char* path, const char* givenDirectory);
void SaveSummary(HWND window);
void SaveSummaryAs(HWND window);
void SetBaseDirectory(HWND window, const char* startFolder, const char* givenDirectory);


#endif
