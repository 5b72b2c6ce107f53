// The Open and Save dialogs, set up once for every command that asks for files.
#ifndef VELMORA_APP_FILE_DIALOG_H
#define VELMORA_APP_FILE_DIALOG_H

#include <windows.h>

#include <string>

struct FileDialogRequest {
  HWND owner;
  const char* filter;            // "Name|pattern|" pairs
  const char* initialDirectory;  // null: the system's choice
  const char* defaultExtension;  // without the dot
  DWORD flags;                   // OFN_... flags
  bool save;                     // the Save dialog, else the Open dialog
  bool compact;                  // the dialog of Windows 2000 (no places bar), as Add Files shows
};

enum class FileDialogResult { kChosen, kCancelled, kOutOfMemory };

// Shows the dialog through the wide functions (the ANSI ones hold 260 bytes, too few for a path
// of 260 characters in UTF-8) and hands back the choice in the process code page: one path, or
// for several files their folder and each name, each followed by a NUL, as the ANSI dialog
// does. Cancelled also when a chosen name cannot be carried in that code page.
FileDialogResult RunFileDialog(const FileDialogRequest& request, std::string* chosen);

// Shows a file dialog; true with a choice, after telling the user when memory ran out.
bool AskForFiles(const FileDialogRequest& request, std::string* chosen);

#endif
