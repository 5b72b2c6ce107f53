#include "app/adding_commands.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/digest_choice.h"
#include "app/document_commands.h"
#include "app/file_dialog.h"
#include "app/folder_browser.h"
#include "app/operation_display.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "common/bounded_text.h"
#include "common/paths.h"
#include "summary/adding.h"
#include "summary/document_state.h"

namespace {

const char kNoBaseForAdding[] = "You must set the Base Directory before adding any files!";
const char kDirectoryPrompt[] =
    "Please select a directory; all its files and subdirectories will be added to the %s summary.";

// Tells in the status bar what the addition left out, if anything.
void ReportSkippedPaths() {
  char text[512];
  FormatLeftOutText(LeftOut, text, sizeof text);
  if (text[0] != '\0') SetStatusText(text);
}

// Every addition the same way: busy mode, fresh counts, the title's count and what was left out
// at the end.
template <typename Addition>
void RunAddition(Addition add) {
  BeginLongOperation();
  StartCountingAdditions();
  RestartTitleCount();
  add();
  EndLongOperation();
  RefreshTitle();
  ReportSkippedPaths();
}

void AddChoice(const char* names) {
  const char* second = names + std::strlen(names) + 1;
  if (*second == '\0') {
    AddChosenFile(names);
  } else {
    AddSelectedNames(names, second);
  }
}

}  // namespace

void AddFiles(HWND owner) {
  if (!BaseDirectory()[0]) {
    ShowError(kNoBaseForAdding);
    return;
  }
  const FileDialogRequest request = {
      owner, "All files|*.*|", BaseDirectory(), "",
      OFN_EXPLORER | OFN_SHAREAWARE | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
          OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
      false, true};
  std::string chosen;
  if (AskForFiles(request, &chosen)) RunAddition([&chosen] { AddChoice(chosen.c_str()); });
}

void AddDirectory(HWND owner) {
  if (!BaseDirectory()[0]) {
    ShowError(kNoBaseForAdding);
    return;
  }
  char folder[kPathTextSize];
  CopyText(folder, sizeof folder, BaseDirectory());
  char prompt[160];
  FormatForDocumentKind(kDirectoryPrompt, prompt, sizeof prompt);
  if (!ChooseFolder(owner, prompt, folder, sizeof folder)) return;
  if (!IsUnderBase(BaseDirectory(), folder, nullptr)) {
    ShowError(kFolderNotUnderBase);
    return;
  }
  AddTreeAsOperation(folder);
}

void AddDroppedPaths(const std::vector<std::string>& paths, const LeftOutCounts& leftOut) {
  if (!BaseDirectory()[0]) {
    ShowError(kNoBaseForAdding);
    return;
  }
  RunAddition([&paths, &leftOut] {
    LeftOut.unreadableFiles += leftOut.unreadableFiles;
    LeftOut.outOfMemory += leftOut.outOfMemory;
    AddPaths(paths);
  });
}

void AddTreeAsOperation(const char* directory) {
  RunAddition([directory] { AddDirectoryTree(directory); });
}
