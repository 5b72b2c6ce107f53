#include "app/help_about.h"

#include "app/app_state.h"
#include "common/bounded_text.h"

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

}  // namespace

void ShowHelp() {
  HWND viewer = FindWindowA("HH Parent", kHelpWindowTitle);
  if (viewer) SendMessageA(viewer, WM_CLOSE, 0, 0);
  char commandLine[464];
  FormatText(commandLine, sizeof commandLine, "hh.exe \"%s\"", HelpFilePath);
  WinExec(commandLine, SW_SHOW);
}

void ShowAboutBox(HWND window) {
  AboutOpenCallback = CentreOverParent;
  DialogBoxParamA(AppInstance, "ABOUT", window, AboutDialogProc, 0);
}

void CentreOverParent(HWND dialog) {
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
