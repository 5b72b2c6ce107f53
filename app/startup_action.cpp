// The one document operation that the command line can ask for at start.
#include "app/app_state.h"
#include "app/commands.h"
#include "app/startup.h"
#include "common/bounded_text.h"
#include "digest/file_digest.h"
#include "summary/adding.h"
#include "summary/document.h"
#include "summary/entry_list.h"
#include "summary/paths.h"
#include "summary/title.h"
#include "summary/verify.h"

namespace {

void GenerateSummary(HWND window, char* directory) {
  StripQuotes(directory);
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, directory);
  ShowBaseDirectory(directory);
  SetBusy(true);
  StartCountingAdditions();
  AddDirectoryTree(window, directory);
  FinishLongOperation();
  UpdateTitle(window, nullptr);
  ReportSkippedPaths();
}

void CheckSummary(HWND window, char* directory) {
  StripQuotes(directory);
  OpenSummary(window, directory);
  if (EntryCount() > 0) VerifyAll(window);
}

void OpenNamedSummary(HWND window, const char* summaryName) {
  char name[kPathBufferSize];
  CopyText(name, sizeof name, summaryName);
  StripQuotes(name);
  char fullPath[kPathBufferSize];
  DWORD length = GetFullPathNameA(name, sizeof fullPath, fullPath, nullptr);
  if (length == 0 || length >= sizeof fullPath) CopyText(fullPath, sizeof fullPath, name);
  LoadSummary(window, fullPath, nullptr);
}

}  // namespace

void RunStartupAction(HWND window, char* generateDirectory, char* checkDirectory,
                      const char* summaryName) {
  if (generateDirectory) {
    GenerateSummary(window, generateDirectory);
  } else if (checkDirectory) {
    CheckSummary(window, checkDirectory);
  } else if (summaryName && summaryName[0]) {
    OpenNamedSummary(window, summaryName);
  }
}
