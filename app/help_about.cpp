#include "app/help_about.h"

#include <string>

#include "app/app_state.h"
#include "common/code_pages.h"
#include "common/win_guards.h"

const char kHelpWindowTitle[] = "Dorvex Usage Notes";

namespace {

typedef void (*AboutCallback)(HWND dialog);
AboutCallback AboutOpenCallback = nullptr;

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (message == WM_INITDIALOG) {
    if (AboutOpenCallback) AboutOpenCallback(dialog);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

// The viewer reads its command line in the system's legacy code page, as it asks for no other:
// a path with characters that page lacks goes as its short form, which names such as these have
// in plain ASCII (where the volume keeps short names).
std::wstring PathTheViewerReads(const std::wstring& path) {
  BOOL lost = FALSE;
  WideCharToMultiByte(LegacyCodePage(), WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0,
                      nullptr, &lost);
  if (!lost) return path;
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring shortPath(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], size);
  if (length == 0 || length >= size) return path;
  shortPath.resize(length);
  return shortPath;
}

// Started as WinExec starts a program, at any length: shown, and waited for until it is ready
// for input (30 seconds at most), so that the next Help finds its window to close.
void StartViewer(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return;
  }
  FileHandle process(started.hProcess);
  FileHandle thread(started.hThread);
  WaitForInputIdle(process.Get(), 30000);
}

}  // namespace

void ShowHelp() {
  HWND viewer = FindWindowA("HH Parent", kHelpWindowTitle);
  if (viewer) SendMessageA(viewer, WM_CLOSE, 0, 0);
  const std::wstring path = ProcessTextToWide(HelpFilePath.c_str(), HelpFilePath.size());
  StartViewer(L"hh.exe \"" + PathTheViewerReads(path) + L"\"");
}

void ShowAboutBox(HWND window) {
  AboutOpenCallback = CentreAcrossParent;
  DialogBoxParamA(AppInstance, "ABOUT", window, AboutDialogProc, 0);
}

void CentreAcrossParent(HWND dialog) {
  HWND parent = GetParent(dialog);
  if (!parent) return;
  RECT parentRect, dialogRect;
  GetWindowRect(parent, &parentRect);
  GetWindowRect(dialog, &dialogRect);
  int width = dialogRect.right - dialogRect.left;
  int height = dialogRect.bottom - dialogRect.top;
  int parentWidth = parentRect.right - parentRect.left;
  MoveWindow(dialog, parentRect.left + (parentWidth - width) / 2, dialogRect.top, width, height,
             FALSE);
}
