#include "app/screen_refresh.h"

#include <windows.h>

#include "app/app_state.h"

namespace {

bool RedrawBatched = false;
DWORD LastRefresh = 0;

void Repaint(HWND window, bool keepBatching) {
  if (!window) return;
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  // Erased as well: the status bar draws its text over whatever is there.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (keepBatching) SendMessageA(window, WM_SETREDRAW, FALSE, 0);
}

void RepaintBoth(bool keepBatching) {
  Repaint(EntryList, keepBatching);
  Repaint(StatusBar, keepBatching);  // with its progress bar
  LastRefresh = GetTickCount();
}

}  // namespace

void BeginBatchedRedraw() {
  if (RedrawBatched) return;
  RedrawBatched = true;
  LastRefresh = GetTickCount();
  if (EntryList) SendMessageA(EntryList, WM_SETREDRAW, FALSE, 0);
  if (StatusBar) SendMessageA(StatusBar, WM_SETREDRAW, FALSE, 0);
}

void RefreshScreenIfDue() {
  if (!RedrawBatched) {
    if (EntryList) UpdateWindow(EntryList);
    return;
  }
  if (GetTickCount() - LastRefresh >= kScreenRefreshInterval) RepaintBoth(true);
}

void EndBatchedRedraw() {
  if (!RedrawBatched) return;
  RedrawBatched = false;
  RepaintBoth(false);
}
