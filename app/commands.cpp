#include "app/commands.h"

#include <commctrl.h>

#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/command_state.h"
#include "app/digest_choice.h"
#include "app/document_commands.h"
#include "app/entry_view.h"
#include "app/help_about.h"
#include "app/screen_refresh.h"
#include "app/selection.h"
#include "app/toolbar.h"
#include "app/verify_commands.h"
#include "digest/file_hasher.h"
#include "digest/read_hook.h"
#include "resources/resource.h"
#include "settings/recent_files_store.h"
#include "summary/document_state.h"

static_assert(IDM_LAST_COMMAND - IDM_FIRST_COMMAND + 1 == 18, "menu commands are ids 11 to 28");
static_assert(IDM_RECENT_FIRST > IDM_LAST_COMMAND, "recent-file ids follow the menu commands");
static_assert(IDM_RECENT_COUNT == kRecentFileLimit, "one menu id per recent file");

namespace {

void RequestExit(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void OpenRecentFile(HWND window, int id) {
  if (BusyFlag) return;  // recent items stay enabled while busy, so they are ignored here
  if (!ConfirmDiscard(window)) return;
  LoadSummary(window, RecentFilePath(id - IDM_RECENT_FIRST), nullptr);
}

bool IsRecentCommand(int id) {
  return id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + RecentFileCount();
}

bool RunMenuCommand(HWND window, int id) {
  switch (id) {
    case IDM_OPEN:
      OpenSummary(window, nullptr);
      return true;
    case IDM_SAVE:
      SaveSummary(window);
      return true;
    case IDM_EXIT:
      RequestExit(window);
      return true;
    case IDM_VERIFY_ALL:
      VerifyAll(window);
      return true;
    case IDM_ABOUT:
      ShowAboutBox(window);
      return true;
    case IDM_SELECT_ALL:
      SelectAll();
      return true;
    case IDM_COPY:
      CopySelected(window);
      return true;
    case IDM_DELETE:
      DeleteSelected(window);
      return true;
    case IDM_NEW:
      NewSummary(window);
      return true;
    case IDM_SET_BASE_DIRECTORY:
      ChooseBaseDirectory(window, nullptr, nullptr);
      return true;
    case IDM_ADD_FILES:
      AddFiles(window);
      return true;
    case IDM_ADD_DIRECTORY:
      AddDirectory(window);
      return true;
    case IDM_SAVE_AS:
      SaveSummaryAs(window);
      return true;
    case IDM_HELP_CONTENTS:
      ShowHelp();
      return true;
    case IDM_VERIFY_SELECTED:
      VerifySelected(window);
      return true;
    case IDM_RECALCULATE_ALL:
      RecalculateAll(window);
      return true;
    case IDM_RECALCULATE_SELECTED:
      RecalculateSelected(window);
      return true;
    case IDM_STOP:
      RequestStop();
      return true;
    default:
      return false;
  }
}

LRESULT OnTooltipRequest(const NMHDR* header) {
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(const_cast<NMHDR*>(header));
  info->hinst = nullptr;
  info->lpszText = const_cast<char*>(LookupTooltipText(static_cast<int>(header->idFrom)));
  return 0;
}

LRESULT OnColumnClick(const NMHDR* header) {
  SortEntries(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
  return 0;
}

LRESULT OnItemChanged() {
  if (!BusyFlag && !IsRestoringSelection()) RefreshCommandState();
  return 0;
}

}  // namespace

LRESULT DispatchCommand(HWND window, int id, WPARAM wParam, LPARAM lParam) {
  if (RunMenuCommand(window, id)) return 0;
  if (IsRecentCommand(id)) {
    OpenRecentFile(window, id);
    return 0;
  }
  if (IsDigestCommand(id)) {
    ChooseDigestKind(id);
    RefreshCommandState();
    return 0;
  }
  return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT HandleNotify(HWND window, const NMHDR* header, WPARAM wParam, LPARAM lParam) {
  switch (header->code) {
    case TTN_GETDISPINFOA:
      return OnTooltipRequest(header);
    case LVN_COLUMNCLICK:
      return OnColumnClick(header);
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      return OnItemChanged();
    case LVN_GETDISPINFOA:
      return AnswerEntryDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
    case LVN_GETDISPINFOW:
      return AnswerEntryDisplayInfoW(reinterpret_cast<NMLVDISPINFOW*>(lParam));
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
      return AnswerFindRequest(header);
    default:
      return DefWindowProcA(window, WM_NOTIFY, wParam, lParam);
  }
}

void ShowEditContextMenu(HWND window) {
  HMENU edit = GetSubMenu(MainMenu, 1);
  POINT cursor;
  GetCursorPos(&cursor);
  int id =
      TrackPopupMenu(edit, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
  // Posted, so the command runs from the message loop once the menu has closed.
  if (id > 0) PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void EnableCommand(int id, bool on) {
  if (MainMenu) EnableMenuItem(MainMenu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  if (ToolbarWindow)
    SendMessageA(ToolbarWindow, TB_ENABLEBUTTON, id, MAKELONG(on ? TRUE : FALSE, 0));
}

void RefreshCommandState() {
  CommandFacts state;
  state.baseDirectorySet = BaseDirectory()[0] != '\0';
  state.hasEntries = EntryCount() > 0;
  // The list's own count: looking for the first selected item scans from the top, and this
  // runs once per item change that the list reports.
  state.hasSelection =
      state.hasEntries && SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
  state.modified = IsModified();
  for (int kind = 0; kind < kDigestKindCount; ++kind) {
    state.kindAvailable[kind] = DigestKindAvailable(static_cast<DigestKind>(kind));
  }
  CommandEnable rules[kRefreshedCommandCount];
  ComputeCommandState(state, rules);
  for (const CommandEnable& rule : rules) EnableCommand(rule.id, rule.enabled);
}

namespace {

// Busy mode greys every command but Stop; out of it, Stop is grey and the rest follow the
// document.
void EnableCommandsForBusyMode(bool busy) {
  for (int i = kBusyDisabledCommandCount - 1; i >= 0; --i) {
    EnableCommand(kBusyDisabledCommands[i], !busy);
  }
  EnableCommand(IDM_STOP, busy);
  if (!busy) RefreshCommandState();
}

}  // namespace

void BeginLongOperation() {
  BusyFlag = true;
  ClearStopRequest();
  BeginBatchedRedraw();
  EnableCommandsForBusyMode(true);
}

void EndLongOperation() {
  SetProgressPosition(0);
  BusyFlag = false;
  EndBatchedRedraw();
  EnableCommandsForBusyMode(false);
}

void EnableIdleCommands() {
  BusyFlag = false;
  EnableCommandsForBusyMode(false);
}
