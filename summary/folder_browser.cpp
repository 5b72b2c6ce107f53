#include "summary/folder_browser.h"

#include <shlobj.h>

#include "common/code_pages.h"

namespace {

// Some shells (Wine's among them) now and then ignore the first request to highlight the
// start folder. The highlighted path is remembered from the selection notices, and a timer asks
// again a few times while it differs. One browser is open at a time, so plain statics serve.
const UINT_PTR kSelectionTimer = 0x5E1;
const int kSelectionRetries = 5;
char HighlightedPath[MAX_PATH] = "";
const char* RequestedPath = nullptr;
int RetriesLeft = 0;

void CALLBACK RetrySelection(HWND browser, UINT, UINT_PTR timer, DWORD) {
  bool selected = RequestedPath && LocaleCaseCompare(HighlightedPath, RequestedPath) == 0;
  if (selected || RetriesLeft-- <= 0 || !RequestedPath || !RequestedPath[0]) {
    KillTimer(browser, timer);
    return;
  }
  SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(RequestedPath));
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    RequestedPath = reinterpret_cast<const char*>(data);
    RetriesLeft = kSelectionRetries;
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    SetTimer(browser, kSelectionTimer, 100, RetrySelection);
  } else if (message == BFFM_SELCHANGED) {
    char highlighted[MAX_PATH];
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), highlighted)) {
      lstrcpynA(HighlightedPath, highlighted, MAX_PATH);
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(highlighted));
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
