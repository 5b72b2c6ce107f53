#include "summary/folder_browser.h"

#include <shlobj.h>

namespace {

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  } else if (message == BFFM_SELCHANGED) {
    char highlighted[MAX_PATH];
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), highlighted)) {
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(highlighted));
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
  LPITEMIDLIST item = SHBrowseForFolderA(&info);
  if (!item) return false;
  // Converted into a scratch buffer first, so a failed conversion leaves the caller's path.
  char chosen[MAX_PATH];
  bool converted = SHGetPathFromIDListA(item, chosen) != FALSE;
  if (converted) lstrcpynA(path, chosen, MAX_PATH);
  allocator.Get()->Free(item);
  return converted;
}
