#include "summary/folder_browser.h"

#include <shlobj.h>

#include "common/code_pages.h"

namespace {

// Some shells (Wine's among them) now and then ignore the first request to highlight the
// start folder. The highlighted path is remembered from the selection notices, and a timer asks
// again a few times while it differs, but only until the start folder has been shown or the
// user has moved the selection: a folder the user picks is never taken back. One browser is
// open at a time, so plain statics serve.
const UINT_PTR kSelectionTimer = 0x5E1;
const int kSelectionRetries = 5;
char HighlightedPath[MAX_PATH] = "";
const char* RequestedPath = nullptr;
int RetriesLeft = 0;
bool StartFolderShown = false;
bool UserMovedSelection = false;
WNDPROC TreeProcBefore = nullptr;

bool StartFolderHighlighted() {
  return RequestedPath && LocaleCaseCompare(HighlightedPath, RequestedPath) == 0;
}

// Notes the user's own moves in the folder tree: a key or a click there.
LRESULT CALLBACK WatchTreeInput(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    UserMovedSelection = true;
  }
  return CallWindowProcA(TreeProcBefore, tree, message, wParam, lParam);
}

BOOL CALLBACK FindTree(HWND window, LPARAM found) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "SysTreeView32") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The tree may sit inside a control of its own (Windows) or in the dialog itself (Wine).
void WatchUserInput(HWND browser) {
  UserMovedSelection = false;
  HWND tree = nullptr;
  EnumChildWindows(browser, FindTree, reinterpret_cast<LPARAM>(&tree));
  if (!tree) return;
  TreeProcBefore = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchTreeInput)));
}

void CALLBACK RetrySelection(HWND browser, UINT, UINT_PTR timer, DWORD) {
  if (StartFolderShown || UserMovedSelection || RetriesLeft-- <= 0 || !RequestedPath ||
      !RequestedPath[0]) {
    KillTimer(browser, timer);
    return;
  }
  SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(RequestedPath));
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    RequestedPath = reinterpret_cast<const char*>(data);
    RetriesLeft = kSelectionRetries;
    StartFolderShown = false;
    WatchUserInput(browser);
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    SetTimer(browser, kSelectionTimer, 100, RetrySelection);
  } else if (message == BFFM_SELCHANGED) {
    char highlighted[MAX_PATH];
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), highlighted)) {
      lstrcpynA(HighlightedPath, highlighted, MAX_PATH);
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(highlighted));
      if (StartFolderHighlighted()) StartFolderShown = true;
    } else {
      HighlightedPath[0] = '\0';
    }
  }
  return 0;
}

class ShellAllocator {
 public:
  ShellAllocator() {
    if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
  }
  ~ShellAllocator() {
    if (malloc_) malloc_->Release();
  }
  ShellAllocator(const ShellAllocator&) = delete;
  ShellAllocator& operator=(const ShellAllocator&) = delete;
  IMalloc* Get() const { return malloc_; }

 private:
  IMalloc* malloc_ = nullptr;
};

}  // namespace

bool ChooseFolder(HWND owner, const char* prompt, char* path) {
  ShellAllocator allocator;
  if (!allocator.Get()) return false;
  BROWSEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.hwndOwner = owner;
  info.lpszTitle = prompt;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(path);
  HighlightedPath[0] = '\0';
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  RequestedPath = nullptr;
  if (!item) return false;
  // Converted into a scratch buffer first, so a failed conversion leaves the caller's path.
  char chosen[MAX_PATH];
  bool converted = SHGetPathFromIDListA(item, chosen) != FALSE;
  if (converted) lstrcpynA(path, chosen, MAX_PATH);
  allocator.Get()->Free(item);
  return converted;
}
