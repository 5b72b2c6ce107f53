#include "app/document_commands.h"

#include <commdlg.h>

#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/digest_choice.h"
#include "app/file_dialog.h"
#include "app/folder_browser.h"
#include "app/recent_menu.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "common/win_guards.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/summary_file.h"

namespace {

const char kBasePrompt[] =
    "Please select the Base Directory, under which all files in the %s summary should be located.";

// "MD5 files|*.md5|": the document's kind as a file dialog's type.
std::string KindFileType() {
  const DigestKindInfo& info = KindInfo(DocumentDigestKind());
  return std::string(info.displayName) + " files|*." + info.extension + "|";
}

// The document's kind first, then every checksum file, then all files.
std::string OpenFilter() {
  std::string filter = KindFileType() + "Checksum files|";
  for (int kind = 0; kind < kDigestKindCount; ++kind) {
    filter += std::string(kind ? ";" : "") + "*." + KindInfo(static_cast<DigestKind>(kind)).extension;
  }
  return filter + ";*SUMS|All files|*.*|";
}

// Reads the summary into emptied entries, repainting the list once at the end; false when it
// could not be read (the entries then stay empty).
bool ReadIntoEmptyDocument(const char* path) {
  ClearEntries();
  SetModified(false);
  SetUnreadLineCount(0);
  SetBaseDirectory("");
  RedrawPause pause(EntryList);
  return ReadSummaryFile(path);
}

// Whether there is something to save; beeps when there is not.
bool EntriesToSaveOrBeep() {
  if (EntryCount() > 0) return true;
  MessageBeep(0);
  return false;
}

// Tells in the status bar how many lines of the summary just read gave no entry.
void ReportUnreadLines() {
  const int lines = UnreadLineCount();
  if (lines == 0) return;
  char text[64];
  FormatText(text, sizeof text, lines == 1 ? "%d line not read" : "%d lines not read", lines);
  SetStatusText(text);
}

// Writing over the file the document was read from drops the lines it could not read: only when
// the user says so. False: nothing is to be written.
bool AgreeToDropUnreadLines(HWND window, const char* target) {
  const int lines = UnreadLineCount();
  if (lines == 0 || LocaleCaseCompare(target, SummaryPath()) != 0) return true;
  char question[160];
  FormatText(question, sizeof question,
             lines == 1 ? "%d line of this summary could not be read and will not be written. "
                          "Save anyway?"
                        : "%d lines of this summary could not be read and will not be written. "
                          "Save anyway?",
             lines);
  if (MessageBoxA(window, question, kProgramTitle, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return false;
  }
  SetUnreadLineCount(0);
  return true;
}

}  // namespace

bool ConfirmDiscard(HWND window) {
  if (!IsModified() || EntryCount() == 0) return true;
  char question[96];
  FormatForDocumentKind("The %s Summary has been modified. Do you want to save it?", question,
                        sizeof question);
  int answer = MessageBoxA(window, question, kProgramTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) {
    SaveSummary(window);
    return !IsModified();
  }
  return answer == IDNO;
}

void NewSummary(HWND window) {
  SetStatusText("");
  if (!ConfirmDiscard(window)) return;
  ClearEntries();
  SetModified(false);
  SetUnreadLineCount(0);
  SetDocumentDigestKind(RememberedDigestKind());
  SetSummaryPath(UntitledName());
  SetBaseDirectory("");
  ChooseBaseDirectory(window, nullptr, nullptr);
}

void OpenSummary(HWND window, const char* givenDirectory) {
  SetStatusText("");
  if (!ConfirmDiscard(window)) return;
  const std::string filter = OpenFilter();
  const FileDialogRequest request = {window, filter.c_str(),
                                     BaseDirectory()[0] ? BaseDirectory() : ".",
                                     KindInfo(DocumentDigestKind()).extension,
                                     OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                                     false, false};
  std::string chosen;
  if (!AskForFiles(request, &chosen)) return;
  LoadSummary(window, chosen.c_str(), givenDirectory);
}

void OpenSummaryFile(HWND window, const char* path) {
  SetStatusText("");
  if (ConfirmDiscard(window)) LoadSummary(window, path, nullptr);
}

void LoadSummary(HWND window, const char* path, const char* givenDirectory) {
  // The caller's text may be a recent-file entry that AddRecentFile moves: copy it first.
  char working[kPathTextSize];
  CopyText(working, sizeof working, path);
  if (!SummaryKindUsable(working)) return;  // the document stays as it was
  const bool read = ReadIntoEmptyDocument(working);
  SetModified(false);  // what was read is the file's own state; a failed read kept nothing
  if (!read) {
    SetSummaryPath(UntitledName());
    RefreshCommandState();
    return;
  }
  SetSummaryPath(working);
  AddRecentFile(SummaryPath());
  ReportUnreadLines();
  DirectoryOfPath(working);
  ChooseBaseDirectory(window, working, givenDirectory);
}

void SaveSummary(HWND window) {
  SetStatusText("");
  if (!EntriesToSaveOrBeep()) return;
  if (lstrcmpA(SummaryPath(), UntitledName()) == 0) {
    SaveSummaryAs(window);
    return;
  }
  if (AgreeToDropUnreadLines(window, SummaryPath())) WriteSummaryFile(SummaryPath());
  RefreshCommandState();
}

void SaveSummaryAs(HWND window) {
  SetStatusText("");
  if (!EntriesToSaveOrBeep()) return;
  const std::string filter = KindFileType();
  const FileDialogRequest request = {window, filter.c_str(), nullptr,
                                     KindInfo(DocumentDigestKind()).extension,
                                     OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                     true, false};
  std::string chosen;
  if (!AskForFiles(request, &chosen)) return;
  if (!AgreeToDropUnreadLines(window, chosen.c_str())) return;
  // A summary that was not written keeps its name: the title never names a file without it.
  if (!WriteSummaryFile(chosen.c_str())) return;
  SetSummaryPath(chosen.c_str());
  AddRecentFile(SummaryPath());
  RefreshCommandState();
}

void ChooseBaseDirectory(HWND window, const char* startFolder, const char* givenDirectory) {
  if (BaseDirectory()[0] && EntryCount() > 0) {
    char text[160];
    FormatForDocumentKind(
        "You can set the Base Directory only when creating or opening a file or when the "
        "%s summary is empty!",
        text, sizeof text);
    ShowError(text);
    return;
  }
  char candidate[kPathTextSize];
  if (givenDirectory) {
    CopyText(candidate, sizeof candidate, givenDirectory);
  } else {
    CopyText(candidate, sizeof candidate, startFolder ? startFolder : LastBrowseFolder);
    char prompt[160];
    FormatForDocumentKind(kBasePrompt, prompt, sizeof prompt);
    if (!ChooseFolder(window, prompt, candidate, sizeof candidate)) {
      RefreshCommandState();
      return;
    }
  }
  if (candidate[0]) {
    CopyText(LastBrowseFolder, sizeof LastBrowseFolder, candidate);
    SetBaseDirectory(candidate);
  }
  RefreshCommandState();
}
