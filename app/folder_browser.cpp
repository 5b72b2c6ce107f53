#include "app/folder_browser.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "common/bounded_text.h"
#include "common/code_pages.h"

namespace {

// Some shells (Wine's among them) now and then ignore the first request to highlight the
// start folder. The highlighted path is remembered from the selection notices, and a timer asks
// again a few times while it differs, but only until the start folder has been shown or the
// user has moved the selection: a folder the user picks is never taken back. One browser is
// open at a time, so plain statics serve. The browser is asked through the wide functions: the
// ANSI ones hold 260 bytes, too few for a path of 260 characters in UTF-8.
const UINT_PTR kSelectionTimer = 0x5E1;
const int kSelectionRetries = 5;
std::wstring HighlightedPath;
std::wstring RequestedPath;
int RetriesLeft = 0;
bool StartFolderShown = false;
bool UserMovedSelection = false;
WNDPROC TreeProcBefore = nullptr;

bool StartFolderHighlighted() {
  return !RequestedPath.empty() && lstrcmpiW(HighlightedPath.c_str(), RequestedPath.c_str()) == 0;
}

void AskForStartFolder(HWND browser) {
  SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(RequestedPath.c_str()));
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
  if (StartFolderShown || UserMovedSelection || RetriesLeft-- <= 0 || RequestedPath.empty()) {
    KillTimer(browser, timer);
    return;
  }
  AskForStartFolder(browser);
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM) {
  if (message == BFFM_INITIALIZED) {
    RetriesLeft = kSelectionRetries;
    StartFolderShown = false;
    WatchUserInput(browser);
    AskForStartFolder(browser);
    SetTimer(browser, kSelectionTimer, 100, RetrySelection);
  } else if (message == BFFM_SELCHANGED) {
    wchar_t highlighted[MAX_PATH];
    if (SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), highlighted)) {
      HighlightedPath = highlighted;
      SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(highlighted));
      if (StartFolderHighlighted()) StartFolderShown = true;
    } else {
      HighlightedPath.clear();
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

bool ChooseFolder(HWND owner, const char* prompt, char* path, size_t pathSize) {
  ShellAllocator allocator;
  if (!allocator.Get()) return false;
  const std::wstring title = ProcessTextToWide(prompt, std::strlen(prompt));
  BROWSEINFOW info;
  ZeroMemory(&info, sizeof info);
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = BrowseCallback;
  RequestedPath = ProcessTextToWide(path, std::strlen(path));
  HighlightedPath.clear();
  LPITEMIDLIST item = SHBrowseForFolderW(&info);
  RequestedPath.clear();
  if (!item) return false;
  // Converted into a scratch buffer first, so a failed conversion leaves the caller's path.
  wchar_t chosen[MAX_PATH];
  std::string converted(MAX_PATH * 4, '\0');
  bool ok = SHGetPathFromIDListW(item, chosen) &&
            WideToProcessText(chosen, &converted[0], converted.size()) &&
            CopyText(path, pathSize, converted.c_str());
  allocator.Get()->Free(item);
  return ok;
}
