#include "app/drop.h"

#include <objbase.h>
#include <shlobj.h>

#include <new>
#include <string>
#include <vector>

#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/document_commands.h"
#include "common/code_pages.h"
#include "common/memory_seam.h"
#include "summary/left_out.h"
#include "summary/summary_reader.h"

namespace {

struct DroppedNames {
  std::vector<std::string> paths;  // in the process code page
  // Names that code page cannot carry and shortcuts with no target (unreadableFiles), names
  // there was no memory to keep (outOfMemory).
  LeftOutCounts leftOut;
};

template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }
  void** Out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

bool EndsWithNoCase(const std::wstring& text, const wchar_t* ending) {
  const size_t length = lstrlenW(ending);
  return text.size() > length && lstrcmpiW(text.c_str() + text.size() - length, ending) == 0;
}

// The target of a shortcut, as the Open dialog hands over the target of a chosen shortcut.
bool ShortcutTarget(const std::wstring& shortcut, std::wstring* target) {
  ComPointer<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.Out()))) {
    return false;
  }
  ComPointer<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) ||
      FAILED(file->Load(shortcut.c_str(), STGM_READ))) {
    return false;
  }
  wchar_t path[MAX_PATH] = L"";
  if (link->GetPath(path, MAX_PATH, nullptr, 0) != S_OK || !path[0]) return false;
  *target = path;
  return true;
}

std::wstring DroppedName(HDROP drop, UINT index) {
  const UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring name(length + 1, L'\0');
  const UINT copied = DragQueryFileW(drop, index, &name[0], length + 1);
  name.resize(copied);
  return name;
}

// One dropped name in the process code page, a shortcut by its target; false when it has none
// there (never listed under another name).
bool TakeDroppedName(HDROP drop, UINT index, std::string* path) {
  std::wstring name = DroppedName(drop, index);
  if (EndsWithNoCase(name, L".lnk") && !ShortcutTarget(name, &name)) return false;
  std::string converted(name.size() * 3 + 1, '\0');
  if (name.empty() || !WideToProcessText(name.c_str(), &converted[0], converted.size())) {
    return false;
  }
  *path = converted.c_str();
  return true;
}

void TakeDroppedNames(HDROP drop, DroppedNames* names) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    try {
      CheckMemoryForItem();
      std::string path;
      if (!TakeDroppedName(drop, index, &path)) {
        ++names->leftOut.unreadableFiles;
        continue;
      }
      names->paths.push_back(std::move(path));
    } catch (const std::bad_alloc&) {
      ++names->leftOut.outOfMemory;
    }
  }
}

bool IsLoneSummary(const DroppedNames& names) {
  if (names.paths.size() != 1 || names.leftOut.unreadableFiles != 0 ||
      names.leftOut.outOfMemory != 0) {
    return false;
  }
  const DWORD attributes = GetFileAttributesW(WidePath(names.paths[0].c_str()).c_str());
  return KindOfSummaryName(names.paths[0].c_str()) != nullptr &&
         attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

LRESULT OnDropFiles(HWND window, HDROP drop) {
  if (BusyFlag) {  // the drop of a long operation's dispatch: one thing at a time
    DragFinish(drop);
    return 0;
  }
  DroppedNames names;
  TakeDroppedNames(drop, &names);
  DragFinish(drop);
  if (IsLoneSummary(names)) {
    OpenSummaryFile(window, names.paths[0].c_str());
  } else if (!names.paths.empty() || names.leftOut.unreadableFiles > 0 ||
             names.leftOut.outOfMemory > 0) {
    AddDroppedPaths(names.paths, names.leftOut);
  }
  return 0;
}
