// The one document operation that the command line can ask for at start.
#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/digest_choice.h"
#include "app/document_commands.h"
#include "app/startup.h"
#include "app/verify_commands.h"
#include "common/bounded_text.h"
#include "common/paths.h"
#include "summary/document_state.h"
#include "summary/entries.h"

namespace {

void GenerateSummary(char* directory) {
  StripQuotes(directory);
  CopyText(LastBrowseFolder, sizeof LastBrowseFolder, directory);
  SetBaseDirectory(directory);
  SetDocumentDigestKind(RememberedDigestKind());
  AddTreeAsOperation(directory);
}

void CheckSummary(HWND window, char* directory) {
  StripQuotes(directory);
  OpenSummary(window, directory);
  if (EntryCount() > 0) VerifyAll(window);
}

void OpenNamedSummary(HWND window, const char* summaryName) {
  char name[kPathTextSize];
  CopyText(name, sizeof name, summaryName);
  StripQuotes(name);
  char fullPath[kPathTextSize];
  DWORD length = GetFullPathNameA(name, sizeof fullPath, fullPath, nullptr);
  if (length == 0 || length >= sizeof fullPath) CopyText(fullPath, sizeof fullPath, name);
  LoadSummary(window, fullPath, nullptr);
}

}  // namespace

void RunStartupAction(HWND window, char* generateDirectory, char* checkDirectory,
                      const char* summaryName) {
  if (generateDirectory) {
    GenerateSummary(generateDirectory);
  } else if (checkDirectory) {
    CheckSummary(window, checkDirectory);
  } else if (summaryName && summaryName[0]) {
    OpenNamedSummary(window, summaryName);
  }
}
