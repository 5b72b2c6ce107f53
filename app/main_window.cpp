#include "app/main_window.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/digest_choice.h"
#include "app/document_commands.h"
#include "app/drop.h"
#include "app/entry_view.h"
#include "app/recent_menu.h"
#include "app/session_end.h"
#include "app/toolbar.h"
#include "settings/settings.h"
#include "summary/document_state.h"
#include "summary/entries.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

const char kMainClassName[] = "dorvex";

namespace {

LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow = window;
  if (CreateChildWindows(window)) {
    MainMenu = GetMenu(window);
    // The first document is a new one: the kind last chosen, untitled after it.
    SetSummaryPath(UntitledName());
    SetDocumentDigestKind(RememberedDigestKind());
    EnableIdleCommands();
    RebuildRecentMenu();
    DragAcceptFiles(window, TRUE);
    return 0;
  }
  MessageBoxA(window, "Cannot create child windows", kProgramTitle, MB_ICONERROR);
  PostMessageA(window, WM_CLOSE, 0, 0);  // the orderly close cleans up what was created
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT OnSize(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)window;
  if (StatusBar) SendMessageA(StatusBar, message, wParam, lParam);
  if (ToolbarWindow) SendMessageA(ToolbarWindow, message, wParam, lParam);
  if (wParam != SIZE_MINIMIZED) LayoutChildren(LOWORD(lParam), HIWORD(lParam));
  return 0;
}

LRESULT OnSetFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!EntryList) return DefWindowProcA(window, message, wParam, lParam);
  SetFocus(EntryList);
  return 0;
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  return 0;
}

void CloseWithoutQuestion(HWND window) {
  SaveWindowSettings(window);  // before the list goes: the column widths are read from it
  // The records and the index of listed names go with the window, so a later one starts empty.
  ClearEntries();
  DestroyChildWindows();
  DestroyWindow(window);
}

LRESULT OnClose(HWND window) {
  if (BusyFlag) return 0;  // a long operation must be stopped first
  if (ConfirmDiscard(window)) CloseWithoutQuestion(window);
  return 0;
}

// The question was asked at WM_QUERYENDSESSION. An operation stopped then is still unwinding
// below this message when the session ends at once: the system ends the process after it.
LRESULT OnEndSession(HWND window, WPARAM ending) {
  if (!ending) {
    WithdrawSessionEndRefusal(window);
  } else if (!BusyFlag) {
    CloseWithoutQuestion(window);
  }
  return 0;
}

LRESULT OnDestroy(HWND window) {
  if (MainWindow == window) MainWindow = nullptr;
  MainMenu = nullptr;
  PostQuitMessage(0);
  return 0;
}

LRESULT ForwardToChildren(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND children[] = {StatusBar, EntryList, ProgressBar, BaseLabel, ToolbarWindow};
  for (HWND child : children) {
    if (child) PostMessageA(child, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The entry list notifies in wide characters, so that its cells hold names of 260 characters
// in UTF-8; the other controls keep the ANSI notifications their handlers read.
LRESULT OnNotifyFormat(HWND window, WPARAM wParam, LPARAM lParam) {
  char name[32] = "";
  if (lParam == NF_QUERY) GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
  if (lstrcmpA(name, WC_LISTVIEWA) == 0) return NFR_UNICODE;
  return DefWindowProcA(window, WM_NOTIFYFORMAT, wParam, lParam);
}

// Moved to a screen of another DPI, or the screen's scale changed: everything is drawn for the
// DPI in the message, in the rectangle the system suggests.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  ApplyWindowDpi(LOWORD(wParam));
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(window, &client);  // laid out again also where the size stayed
  OnSize(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  return 0;
}

LRESULT OnContextMenu(HWND window) {
  if (!BusyFlag) ShowEditContextMenu(window);
  return 0;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, message, wParam, lParam);
    case WM_SIZE:
      return OnSize(window, message, wParam, lParam);
    case WM_SETFOCUS:
      return OnSetFocus(window, message, wParam, lParam);
    case WM_PAINT:
      return OnPaint(window);
    case WM_CLOSE:
      return OnClose(window);
    case WM_QUERYENDSESSION:
      return AnswerSessionEndQuery(window);
    case WM_ENDSESSION:
      return OnEndSession(window, wParam);
    case WM_DESTROY:
      return OnDestroy(window);
    case WM_SYSCOLORCHANGE:
    case WM_QUERYNEWPALETTE:
    case WM_PALETTEISCHANGING:
    case WM_PALETTECHANGED:
      return ForwardToChildren(window, message, wParam, lParam);
    case WM_NOTIFY:
      return HandleNotify(window, reinterpret_cast<NMHDR*>(lParam), wParam, lParam);
    case WM_NOTIFYFORMAT:
      return OnNotifyFormat(window, wParam, lParam);
    case WM_CONTEXTMENU:
      return OnContextMenu(window);
    case WM_DPICHANGED:
      return OnDpiChanged(window, wParam, lParam);
    case WM_DROPFILES:
      return OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    case WM_COMMAND:
      return DispatchCommand(window, LOWORD(wParam), wParam, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass;
  ZeroMemory(&windowClass, sizeof windowClass);
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "dorvex");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszMenuName = "dorvex";
  windowClass.lpszClassName = kMainClassName;
  return RegisterClassA(&windowClass) != 0;
}

void SaveWindowSettings(HWND window) {
  int widths[kColumnCount];
  ReadColumnWidths(widths);
  WriteSettings(window, widths, WindowDpi);
}

HWND CreateMainWindow(int x, int y, int width, int height) {
  return CreateWindowExA(0, kMainClassName, kProgramTitle, WS_OVERLAPPEDWINDOW, x, y, width, height,
                         nullptr, nullptr, AppInstance, nullptr);
}
