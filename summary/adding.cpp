#include "summary/adding.h"

#include <commdlg.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "app/commands.h"
#include "app/win_guards.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "digest/file_digest.h"
#include "summary/document.h"
#include "summary/entry_list.h"
#include "summary/file_dialog.h"
#include "summary/folder_browser.h"
#include "summary/paths.h"
#include "summary/summary_file.h"
#include "summary/title.h"

int AddedCount = 0;
LeftOutCounts LeftOut;

namespace {

const char kNoBaseForAdding[] = "You must set the Base Directory before adding any files!";
const char kDirectoryPrompt[] =
    "Please select a directory; all its files and subdirectories will be added to the MD5 summary.";
const int kTitleRefreshInterval = 50;
const size_t kWalkPathSize = kPathTextSize + 8;  // a path, and the "*.*" of its listing

// Counts an added file; every 50th refreshes the title with the item count.
void CountAddedFile(int* counter) {
  RefreshScreenIfOverdue();
  if (++*counter == kTitleRefreshInterval) {
    *counter = 0;
    UpdateTitle(MainWindow, nullptr);
  }
}

// Whether the path is gone: a file or folder that vanished while the addition ran has nothing
// left to protect. Anything else that could not be read (held open by another program, no
// access, a path the system refuses) is left out and counted.
bool Vanished(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void CountUnreadable(const char* path, int verdict) {
  if (verdict == kStatusOutOfMemory) {
    ++LeftOut.outOfMemory;
  } else if (verdict != kStatusOk && verdict != kStatusInterrupted && !Vanished(path)) {
    ++LeftOut.unreadableFiles;
  }
}

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

int64_t ListedSize(const WIN32_FIND_DATAW& found) {
  return static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) |
                              found.nFileSizeLow);
}

void VisitFoundEntry(HWND owner, const WIN32_FIND_DATAW& found, const char* name, char* path,
                     size_t directoryLength) {
  // A path that does not fit the system limit would be cut: leave it out and count it. The
  // limit counts characters as Windows does, not the bytes of their UTF-8 form.
  path[directoryLength] = '\0';
  bool fits = ProcessTextUnits(path) + ProcessTextUnits(name) < MAX_PATH;
  AppendText(path, kWalkPathSize, name);
  if (!fits) {
    ++LeftOut.longPaths;
  } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    AddDirectoryTree(owner, path);
  } else {
    int verdict = AddFileEntry(path, ListedSize(found));
    if (verdict == kStatusOk) CountAddedFile(&AddedCount);
    CountUnreadable(path, verdict);
  }
}

}  // namespace

void StartCountingAdditions() {
  AddedCount = 0;
  LeftOut = LeftOutCounts();
}

void ReportSkippedPaths() {
  char text[192];
  FormatLeftOutText(LeftOut, text, sizeof text);
  if (text[0] != '\0') SetStatusText(text);
}

void AddFiles(HWND owner) {
  if (!BaseDirectory[0]) {
    ShowError(kNoBaseForAdding);
    return;
  }
  const FileDialogRequest request = {
      owner, "All files|*.*|", BaseDirectory, "",
      OFN_EXPLORER | OFN_SHAREAWARE | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
          OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
      false, true};
  std::string chosen;
  if (AskForFiles(request, &chosen)) {
    const char* names = chosen.c_str();
    SetBusy(true);
    StartCountingAdditions();
    const char* second = names + std::strlen(names) + 1;
    if (*second == '\0') {
      AddChosenFile(names);
    } else {
      AddSelectedNames(names, second);
    }
    FinishLongOperation();
    UpdateTitle(MainWindow, nullptr);
    ReportSkippedPaths();
  }
}

void AddSelectedNames(const char* directory, const char* firstName) {
  size_t directoryLength = std::strlen(directory);
  bool endsWithSeparator = directoryLength > 0 && (directory[directoryLength - 1] == '\\' ||
                                                   directory[directoryLength - 1] == '/');
  int counter = 0;
  for (const char* name = firstName; *name; name += std::strlen(name) + 1) {
    // Characters as Windows counts them, not the bytes of their UTF-8 form.
    if (ProcessTextUnits(directory) + ProcessTextUnits(name) >= MAX_PATH) {
      ShowError("Too long filename");
      continue;
    }
    // Up to 259 characters of directory and name and the separator: 260 and the terminator.
    char path[kPathTextSize + 1];
    FormatText(path, sizeof path, endsWithSeparator ? "%s%s" : "%s\\%s", directory, name);
    if (AddChosenFile(path)) {
      CountAddedFile(&counter);
    } else if (StopRequested) {
      break;
    }
  }
}

bool AddChosenFile(const char* path) {
  if (!IsUnderBase(BaseDirectory, path, nullptr)) {
    char text[kPathTextSize + 64];
    FormatText(text, sizeof text, "The file '%s' must be UNDER the Base Directory!", path);
    ShowError(text);
    return false;
  }
  int verdict = AddFileEntry(path);
  CountUnreadable(path, verdict);
  return verdict == kStatusOk;
}

int AddFileEntry(const char* path, int64_t listedSize) {
  char relative[kPathTextSize];
  if (!RelativeToBase(path, relative)) return kStatusMissing;
  if (IsNameListed(relative)) return kStatusOk;
  char digest[kDigestTextSize];
  int32_t sizeKb = -1;
  int verdict = DigestFile(path, digest, &sizeKb, listedSize);
  if (verdict == kStatusOk && !AppendEntry(relative, digest, kStatusOk, sizeKb)) {
    return kStatusOutOfMemory;
  }
  return verdict;
}

void AddDirectory(HWND owner) {
  if (!BaseDirectory[0]) {
    ShowError(kNoBaseForAdding);
    return;
  }
  char folder[kPathBufferSize];
  CopyText(folder, sizeof folder, BaseDirectory);
  if (!ChooseFolder(owner, kDirectoryPrompt, folder, sizeof folder)) return;
  if (!IsUnderBase(BaseDirectory, folder, nullptr)) {
    ShowError("The selected directory must be UNDER the Base Directory!");
    return;
  }
  SetBusy(true);
  StartCountingAdditions();
  AddDirectoryTree(owner, folder);
  FinishLongOperation();
  UpdateTitle(MainWindow, nullptr);
  ReportSkippedPaths();
}

void AddDirectoryTree(HWND owner, const char* directory) {
  char path[kWalkPathSize];
  JoinPath(directory, "", path, sizeof path);
  size_t length = std::strlen(path);
  AppendText(path, sizeof path, "*.*");
  char literal[kWalkPathSize + 8];
  const char* pattern = MakeLiteralPath(path, literal, sizeof literal) ? literal : path;
  // The wide listing: the ANSI one holds 260 bytes of a name, too few for 255 characters of
  // UTF-8, and its conversion may give a name that opens another file or none. A folder of 256
  // or 257 characters is listed in the literal form.
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileW(WidePath(pattern).c_str(), &found));
  if (!find.IsValid()) {
    if (!Vanished(directory)) ++LeftOut.unlistedFolders;
    return;
  }
  do {
    char name[kPathTextSize];
    if (!WideToProcessText(found.cFileName, name, sizeof name)) {
      ++LeftOut.unreadableFiles;  // a name the code page cannot carry is never listed as another
      continue;
    }
    if (IsDotEntry(name)) continue;
    VisitFoundEntry(owner, found, name, path, length);
    if (StopRequested) break;
  } while (FindNextFileW(find.Get(), &found));
}
