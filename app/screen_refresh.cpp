#include "app/screen_refresh.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "digest/read_hook.h"

namespace {

DisplayPacing Pacing = DisplayPacing::kPaced;
bool Batched = false;
DWORD LastRefresh = 0;
DWORD LastDispatch = 0;
DWORD LastCountSync = 0;
DWORD LastTitleShown = 0;
bool DispatchDue = false;  // the first chance of a batch dispatches whatever the clock says

// What the status bar and its progress bar are to show, kept while batched.
char HeldStatus[1024] = "";  // room for a status naming a file of 255 characters of UTF-8
bool StatusHeld = false;
uint32_t HeldPosition = 0;
bool PositionHeld = false;
// Setting a window's title paints its title bar at once, which costs more than reading a
// small file; while batched the newest title waits for the refresh.
HWND HeldTitleWindow = nullptr;
char HeldTitle[1024] = "";

// The pacing clock. The tick count moves in steps of up to 16 ms on some systems, which would
// stretch the time between refreshes by as much; the performance counter does not.
DWORD Milliseconds() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<DWORD>(now.QuadPart / frequency * 1000 +
                            now.QuadPart % frequency * 1000 / frequency);
}

// Whether changes are held and messages dispatched by the clock.
bool Paced() { return Batched && Pacing == DisplayPacing::kPaced; }

void SendStatusText(const char* text) {
  if (StatusBar) SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void SendProgressPosition(uint32_t position) {
  if (ProgressBar) SendMessageA(ProgressBar, PBM_SETPOS, position, 0);
}

// Whether a title was handed over.
bool FlushHeldTitle() {
  if (!HeldTitleWindow) return false;
  SetWindowTextA(HeldTitleWindow, HeldTitle);
  HeldTitleWindow = nullptr;
  return true;
}

void FlushHeldStatusAndProgress() {
  if (StatusHeld) SendStatusText(HeldStatus);
  if (PositionHeld) SendProgressPosition(HeldPosition);
  StatusHeld = false;
  PositionHeld = false;
}

// The next refresh is counted from the start of this one, so that drawing does not stretch the
// time between refreshes.
void RefreshScreen() {
  LastRefresh = Milliseconds();
  if (!Batched || NewEntriesInSight() ||
      (LastRefresh - LastCountSync >= kScrollBarInterval && NewCountChangesScrollBar())) {
    SyncEntryCount();
    LastCountSync = LastRefresh;
  }
  bool statusShown = StatusHeld;
  FlushHeldStatusAndProgress();
  bool titleDue = !Batched || !statusShown || LastRefresh - LastTitleShown >= kTitleInterval;
  if (titleDue && FlushHeldTitle()) LastTitleShown = LastRefresh;
  if (EntryList) UpdateWindow(EntryList);
  if (StatusBar) UpdateWindow(StatusBar);
  if (ProgressBar) UpdateWindow(ProgressBar);
}

void RefreshAfter(DWORD interval) {
  if (!Paced()) {
    if (EntryList) UpdateWindow(EntryList);
    return;
  }
  if (Milliseconds() - LastRefresh >= interval) RefreshScreen();
}

void ShowFileBeingRead(const char* path) {
  char status[kPathTextSize + 8];
  FormatText(status, sizeof status, " %s...", BaseName(path));
  SetStatusText(status);
}

void ClearFileBeingRead() { SetStatusText(""); }

bool PollWhileReading(ReadPoint point) {
  PumpMessagesIfDue();
  if (point == ReadPoint::kAfterChunk) RefreshScreenIfDue();
  return StopRequested();
}

const ReadHook kReadDisplay = {ShowFileBeingRead, ClearFileBeingRead, SetProgressPosition,
                               PollWhileReading};

}  // namespace

void InstallReadDisplay() { InstallReadHook(&kReadDisplay); }

void PumpMessages() {
  MSG message;
  bool flushed = false;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Meant for the main loop, which ends the program on it: hand it back for that loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    // What a dispatched message may look at is brought up to date; with nothing to dispatch,
    // held changes wait for the next screen refresh.
    if (!flushed) FlushHeldDisplay();
    flushed = true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void SetDisplayPacing(DisplayPacing pacing) { Pacing = pacing; }

bool HandsOverEveryChunk() { return Pacing == DisplayPacing::kEveryChunk; }

bool DisplayHeld() { return Paced(); }

void BeginBatchedRedraw() {
  if (Batched) return;
  Batched = true;
  DispatchDue = true;
  LastRefresh = Milliseconds();
  LastTitleShown = LastRefresh - kTitleInterval;  // the first refresh shows the title
}

void RefreshScreenIfDue() { RefreshAfter(kScreenRefreshInterval); }

void RefreshScreenIfOverdue() { RefreshAfter(kScreenRefreshInterval + kBetweenFilesSlack); }

void EndBatchedRedraw() {
  if (!Batched) return;
  Batched = false;
  RefreshScreen();
}

void PumpMessagesIfDue() {
  if (Paced() && !DispatchDue && Milliseconds() - LastDispatch < kMessageInterval) return;
  DispatchDue = false;
  PumpMessages();
  LastDispatch = Milliseconds();
}

void SetStatusText(const char* text) {
  if (!Paced()) {
    SendStatusText(text);
    return;
  }
  if (!CopyText(HeldStatus, sizeof HeldStatus, text)) DropSplitCharacter(HeldStatus);
  StatusHeld = true;
}

void SetProgressPosition(uint32_t position) {
  if (!Paced()) {
    SendProgressPosition(position);
    return;
  }
  HeldPosition = position;
  PositionHeld = true;
}

void SetWindowTitle(HWND window, const char* text) {
  if (!Paced()) {
    SetWindowTextA(window, text);
    return;
  }
  if (!CopyText(HeldTitle, sizeof HeldTitle, text)) DropSplitCharacter(HeldTitle);
  HeldTitleWindow = window;
}

void FlushHeldDisplay() {
  SyncEntryCount();
  FlushHeldStatusAndProgress();
  FlushHeldTitle();
}
