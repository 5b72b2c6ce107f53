#include "summary/document.h"

#include <commdlg.h>

#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "common/bounded_text.h"
#include "digest/file_digest.h"
#include "settings/recent_files.h"
#include "summary/entry_list.h"
#include "summary/file_dialog.h"
#include "summary/folder_browser.h"
#include "summary/paths.h"
#include "summary/summary_file.h"
#include "summary/title.h"

namespace {

const char kOpenFilter[] = "MD5 files|*.md5|All files|*.*|";
const char kSaveFilter[] = "MD5 files|*.md5|";
const char kBasePrompt[] =
    "Please select the Base Directory, under which all files in the MD5 summary should be located.";

}  // namespace

bool AskForFiles(const FileDialogRequest& request, std::string* chosen) {
  const FileDialogResult result = RunFileDialog(request, chosen);
  if (result == FileDialogResult::kOutOfMemory) ShowError("Out of memory");
  return result == FileDialogResult::kChosen;
}

bool ConfirmDiscard(HWND window) {
  if (!ModifiedFlag || EntryCount() == 0) return true;
  int answer = MessageBoxA(window, "The MD5 Summary has been modified. Do you want to save it?",
                           kProgramTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) {
    SaveSummary(window);
    return !ModifiedFlag;
  }
  return answer == IDNO;
}

void NewSummary(HWND window) {
  SetStatusText("");
  if (!ConfirmDiscard(window)) return;
  ClearEntries();
  ModifiedFlag = false;
  UpdateTitle(window, kUntitledName);
  ShowBaseDirectory("");
  SetBaseDirectory(window, nullptr, nullptr);
}

void OpenSummary(HWND window, const char* givenDirectory) {
  SetStatusText("");
  if (!ConfirmDiscard(window)) return;
  const FileDialogRequest request = {window, kOpenFilter, BaseDirectory[0] ? BaseDirectory : ".",
                                     "md5", OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                                     false, false};
  std::string chosen;
  if (!AskForFiles(request, &chosen)) return;
  LoadSummary(window, chosen.c_str(), givenDirectory);
}

void LoadSummary(HWND window, const char* path, const char* givenDirectory) {
  // The caller's text may be a recent-file entry that AddRecentFile moves: copy it first.
  char working[kPathBufferSize];
  CopyText(working, sizeof working, path);
  ClearEntries();
  ModifiedFlag = false;
  ShowBaseDirectory("");
  if (!ReadSummaryFile(working)) {
    ModifiedFlag = false;  // an empty document: nothing of the file was kept
    UpdateTitle(window, kUntitledName);
    RefreshCommandState();
    return;
  }
  ModifiedFlag = false;
  UpdateTitle(window, working);
  AddRecentFile(CurrentSummaryPath);
  DirectoryOfPath(working);
  SetBaseDirectory(window, working, givenDirectory);
}

void SaveSummary(HWND window) {
  SetStatusText("");
  if (EntryCount() == 0) {
    MessageBeep(0);
    return;
  }
  if (lstrcmpA(CurrentSummaryPath, kUntitledName) == 0) {
    SaveSummaryAs(window);
    return;
  }
  WriteSummaryFile(CurrentSummaryPath);
  RefreshCommandState();
}

void SaveSummaryAs(HWND window) {
  SetStatusText("");
  if (EntryCount() == 0) {
    MessageBeep(0);
    return;
  }
  const FileDialogRequest request = {window, kSaveFilter, nullptr, "md5",
                                     OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                     true, false};
  std::string chosen;
  if (!AskForFiles(request, &chosen)) return;
  WriteSummaryFile(chosen.c_str());
  UpdateTitle(window, chosen.c_str());
  AddRecentFile(CurrentSummaryPath);
  RefreshCommandState();
}

void SetBaseDirectory(HWND window, const char* startFolder, const char* givenDirectory) {
  if (BaseDirectory[0] && EntryCount() > 0) {
    ShowError(
        "You can set the Base Directory only when creating or opening a file or when the "
        "MD5 summary is empty!");
    return;
  }
  char candidate[kPathBufferSize];
  if (givenDirectory) {
    CopyText(candidate, sizeof candidate, givenDirectory);
  } else {
    CopyText(candidate, sizeof candidate, startFolder ? startFolder : LastBrowseFolder);
    if (!ChooseFolder(window, kBasePrompt, candidate, sizeof candidate)) {
      RefreshCommandState();
      return;
    }
  }
  if (candidate[0]) {
    CopyText(LastBrowseFolder, sizeof LastBrowseFolder, candidate);
    ShowBaseDirectory(candidate);
  }
  RefreshCommandState();
}
