// The five children of the main window, their font and their layout.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include "app/app_state.h"
#include "app/dpi_rules.h"
#include "app/entry_view.h"
#include "app/main_window.h"
#include "app/toolbar.h"
#include "common/win_guards.h"
#include "resources/resource.h"

namespace {

int CachedScreenDpiY = -1;

// The bitmap font has sizes for some screens only; elsewhere its TrueType face takes over, so the
// text is neither stretched nor left small.
HFONT CreateUiFont(int dpi) {
  LOGFONTA font;
  ZeroMemory(&font, sizeof font);
  font.lfHeight = -MulDiv(8, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&font);
  if (dpi == kBaseDpi) return created;  // as it has always been drawn
  char face[LF_FACESIZE] = "";
  if (created) {
    ScreenDc screen;
    HGDIOBJ before = SelectObject(screen.Get(), created);
    TEXTMETRICA metrics = {};
    GetTextFaceA(screen.Get(), sizeof face, face);
    GetTextMetricsA(screen.Get(), &metrics);
    SelectObject(screen.Get(), before);
    const bool bitmapFace = !(metrics.tmPitchAndFamily & TMPF_TRUETYPE) &&
                            !(metrics.tmPitchAndFamily & TMPF_VECTOR);
    if (!bitmapFace || metrics.tmHeight - metrics.tmInternalLeading == -font.lfHeight) {
      return created;
    }
  }
  // No size of the bitmap font for this screen.
  if (created) DeleteObject(created);
  lstrcpynA(font.lfFaceName, "Microsoft Sans Serif", LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

void ApplyUiFont(HFONT font) {
  if (!font) return;
  if (StatusBar) {
    SendMessageA(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(StatusBar, WM_SIZE, 0, 0);
  }
  if (BaseLabel) SendMessageA(BaseLabel, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

typedef UINT(WINAPI* DpiForWindowFn)(HWND window);

HWND CreateChild(DWORD exStyle, const char* className, const char* text, DWORD style, HWND parent,
                 int id) {
  return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, -100, -100, 20,
                         20, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance,
                         nullptr);
}

void CreateStatusBar(HWND window) {
  // Clipped around its child, the progress bar, a new status text does not repaint the bar too.
  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | WS_CLIPCHILDREN, "", window,
                                  IDC_STATUS_BAR);
  if (StatusBar && UiFont) {
    SendMessageA(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
    SendMessageA(StatusBar, WM_SIZE, 0, 0);
  }
}

void CreateEntryList(HWND window) {
  EntryList = CreateChild(WS_EX_STATICEDGE, WC_LISTVIEWA, "", LVS_REPORT | LVS_OWNERDATA, window,
                          IDC_ENTRY_LIST);
  if (!EntryList) return;
  SendMessageA(EntryList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  // The state image (the status picture) is asked for with the texts.
  SendMessageA(EntryList, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  InstallEntryColumns(EntryList, WindowDpi);
  InstallStateImages(EntryList, WindowDpi);
}

int WindowHeight(HWND window) {
  if (!window) return 0;
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

void DestroyChild(HWND* child) {
  if (*child) DestroyWindow(*child);
  *child = nullptr;
}

}  // namespace

int ScreenDpiY() {
  if (CachedScreenDpiY > 0) return CachedScreenDpiY;
  HDC screen = GetDC(nullptr);
  CachedScreenDpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return CachedScreenDpiY;
}

int DpiOfWindow(HWND window) {
  // Windows 10 (1607) and later; elsewhere the screen's, which is every window's there.
  static const auto dpiForWindow = reinterpret_cast<DpiForWindowFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  const int dpi = dpiForWindow && window ? static_cast<int>(dpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : ScreenDpiY();
}

void ApplyWindowDpi(int dpi) {
  if (dpi <= 0 || dpi == WindowDpi) return;
  RescaleColumnWidths(EntryList, WindowDpi, dpi);
  WindowDpi = dpi;
  HFONT font = CreateUiFont(dpi);
  if (font) {
    ApplyUiFont(font);
    if (UiFont) DeleteObject(UiFont);
    UiFont = font;
  }
  ApplyToolbarDpi(ToolbarWindow, dpi);
  if (EntryList) InstallStateImages(EntryList, dpi);
}

bool CreateChildWindows(HWND window) {
  WindowDpi = DpiOfWindow(window);
  UiFont = CreateUiFont(WindowDpi);
  CreateStatusBar(window);
  BaseLabel =
      CreateChild(WS_EX_STATICEDGE, "STATIC", "  Base Directory: ", 0, window, IDC_BASE_LABEL);
  if (BaseLabel && UiFont)
    SendMessageA(BaseLabel, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont), FALSE);
  if (StatusBar) ProgressBar = CreateChild(0, PROGRESS_CLASSA, "", 0, StatusBar, IDC_PROGRESS);
  ToolbarWindow = CreateToolbar(window, WindowDpi);
  CreateEntryList(window);
  return DocumentWindowsExist() && ToolbarWindow;
}

bool DocumentWindowsExist() { return BaseLabel && EntryList && StatusBar && ProgressBar; }

void DestroyChildWindows() {
  DestroyChild(&ToolbarWindow);
  DestroyChild(&BaseLabel);
  DestroyChild(&EntryList);
  DestroyChild(&ProgressBar);
  DestroyChild(&StatusBar);
  if (UiFont) DeleteObject(UiFont);
  UiFont = nullptr;
  DeleteToolbarBrush();
}

void LayoutChildren(int width, int height) {
  int toolbarHeight = WindowHeight(ToolbarWindow);
  int statusHeight = WindowHeight(StatusBar);
  int labelHeight = MulDiv(12, WindowDpi, 72);
  if (BaseLabel) MoveWindow(BaseLabel, 0, toolbarHeight, width, labelHeight, TRUE);
  if (EntryList) {
    MoveWindow(EntryList, 0, toolbarHeight + labelHeight, width,
               height - labelHeight - toolbarHeight - statusHeight, TRUE);
  }
  if (ProgressBar) MoveWindow(ProgressBar, width / 2, 2, width - width / 2, statusHeight - 2, TRUE);
}
