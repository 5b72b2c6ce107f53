#include "app/screen_refresh.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "common/bounded_text.h"
#include "digest/file_digest.h"

namespace {

DisplayPacing Pacing = DisplayPacing::kPaced;
bool RedrawBatched = false;
bool ListChanged = false;
DWORD LastRefresh = 0;
DWORD LastDispatch = 0;
bool DispatchDue = false;  // the first chance of a batch dispatches whatever the clock says

// What the status bar and its progress bar are to show, kept while batched.
char HeldStatus[512] = "";
bool StatusHeld = false;
uint32_t HeldPosition = 0;
bool PositionHeld = false;

// Whether texts and positions are held and messages dispatched by the clock.
bool Paced() { return RedrawBatched && Pacing == DisplayPacing::kPaced; }

void SendStatusText(const char* text) {
  if (StatusBar) SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void SendProgressPosition(uint32_t position) {
  if (ProgressBar) SendMessageA(ProgressBar, PBM_SETPOS, position, 0);
}

void Repaint(HWND window, bool keepBatching) {
  if (!window) return;
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  // Erased as well: the status bar draws its text over whatever is there.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (keepBatching) SendMessageA(window, WM_SETREDRAW, FALSE, 0);
}

void RepaintBoth(bool keepBatching) {
  FlushHeldDisplay();
  // The list is drawn again only when something in it changed: within a long file only the
  // status bar and its progress bar move.
  if (ListChanged || !keepBatching) Repaint(EntryList, keepBatching);
  ListChanged = false;
  Repaint(StatusBar, keepBatching);  // with its progress bar
  LastRefresh = GetTickCount();
}

}  // namespace

void BeginBatchedRedraw() {
  if (RedrawBatched) return;
  RedrawBatched = true;
  ListChanged = false;
  DispatchDue = true;
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

void NoteListChanged() { ListChanged = true; }

void SetDisplayPacing(DisplayPacing pacing) { Pacing = pacing; }

void PumpMessagesIfDue() {
  if (Paced() && !DispatchDue && GetTickCount() - LastDispatch < kMessageInterval) return;
  DispatchDue = false;
  PumpMessages();
  LastDispatch = GetTickCount();
}

void ShowStatusText(const char* text) {
  if (!Paced()) {
    SendStatusText(text);
    return;
  }
  CopyText(HeldStatus, sizeof HeldStatus, text);
  StatusHeld = true;
}

void ShowProgressPosition(uint32_t position) {
  if (!Paced()) {
    SendProgressPosition(position);
    return;
  }
  HeldPosition = position;
  PositionHeld = true;
}

void FlushHeldDisplay() {
  if (StatusHeld) SendStatusText(HeldStatus);
  if (PositionHeld) SendProgressPosition(HeldPosition);
  StatusHeld = false;
  PositionHeld = false;
}
