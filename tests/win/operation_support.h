// Shared by the tests of the long operations (adding, verifying) and the edits on the list:
// a watch on the files an operation starts, an action run from inside an operation, and the
// list's rows as the user sees them.
#ifndef VELMORA_TESTS_WIN_OPERATION_SUPPORT_H
#define VELMORA_TESTS_WIN_OPERATION_SUPPORT_H

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "digest/digest_kind.h"
#include "digest/md5.h"
#include "resources/resource.h"

namespace testsupport {

// Sees every file a long operation starts to read, from inside the operation: the digest step
// names the file in the status bar before it opens it, so a subclass of the status bar is
// called once per file, right before the message pump runs for that file.
class FileStartWatch;
inline FileStartWatch* ActiveFileStartWatch = nullptr;

class FileStartWatch {
 public:
  // onStart gets the status text that named the file and the file's 1-based number.
  explicit FileStartWatch(std::function<void(const std::string&, int)> onStart = nullptr)
      : onStart_(std::move(onStart)) {
    ActiveFileStartWatch = this;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(StatusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchProc)));
  }
  ~FileStartWatch() {
    SetWindowLongPtrA(StatusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ActiveFileStartWatch = nullptr;
  }
  FileStartWatch(const FileStartWatch&) = delete;
  FileStartWatch& operator=(const FileStartWatch&) = delete;

  // The status texts " name..." in the order the files were started.
  const std::vector<std::string>& Names() const { return names_; }
  // The main window's title at each file start.
  const std::vector<std::string>& Titles() const { return titles_; }

 private:
  static LRESULT CALLBACK WatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FileStartWatch* watch = ActiveFileStartWatch;
    if (message == SB_SETTEXTA && watch) watch->Saw(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(watch ? watch->original_ : DefWindowProcA, window, message, wParam,
                           lParam);
  }

  void Saw(const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    if (length < 3 || std::strcmp(text + length - 3, "...") != 0) return;
    names_.push_back(text);
    char title[512] = "";
    GetWindowTextA(MainWindow, title, sizeof title);
    titles_.push_back(title);
    if (onStart_) onStart_(names_.back(), static_cast<int>(names_.size()));
  }

  std::function<void(const std::string&, int)> onStart_;
  WNDPROC original_ = nullptr;
  std::vector<std::string> names_;
  std::vector<std::string> titles_;
};

// The Stop command as the user gives it: posted, so the operation's own message pump runs it.
inline void PostStop() { PostMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0); }

inline bool ToolbarEnabled(int id) {
  return SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, id, 0) != 0;
}

// Runs action from the message loop of the operation once condition holds (checked every 5 ms).
inline std::function<bool()> PendingCondition;
inline std::function<void()> PendingAction;

inline void CALLBACK ActWhenDue(HWND, UINT, UINT_PTR timer, DWORD) {
  if (PendingCondition && !PendingCondition()) return;
  KillTimer(nullptr, timer);
  if (!PendingCondition) return;  // cancelled
  PendingCondition = nullptr;
  std::function<void()> action = std::move(PendingAction);
  action();
}

inline void ActWhen(std::function<bool()> condition, std::function<void()> action) {
  PendingCondition = std::move(condition);
  PendingAction = std::move(action);
  SetTimer(nullptr, 0, 5, ActWhenDue);
}

// An action still waiting is dropped; its timer ends at its next tick.
inline void CancelPendingAction() { PendingCondition = nullptr; }

// Adds the items to the list's selection.
inline void Select(const std::vector<int>& indexes) {
  for (int index : indexes) ListView_SetItemState(EntryList, index, LVIS_SELECTED, LVIS_SELECTED);
}

inline std::string TitleWithCount(int count) {
  return "Velmora - untitled.md5   [" + std::to_string(count) + " items]";
}

// The MD5 text of some bytes, for the digests the list is expected to show.
inline std::string DigestOf(const std::string& bytes) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, bytes.data(), static_cast<uint32_t>(bytes.size()));
  unsigned char digest[16];
  Md5Final(digest, &context);
  char text[kDigestTextSize];
  DigestToHex(text, digest);
  return text;
}

// One list item's four column texts.
struct Row {
  std::string name, digest, status, size;
  bool operator==(const Row& other) const {
    return name == other.name && digest == other.digest && status == other.status &&
           size == other.size;
  }
};

inline std::string ColumnText(int index, int column) {
  char text[1024] = "";
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(EntryList, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

inline Row RowAt(int index) {
  return {ColumnText(index, 0), ColumnText(index, 1), ColumnText(index, 2), ColumnText(index, 3)};
}

// Every row in list order.
inline std::vector<Row> Rows() {
  std::vector<Row> rows;
  int count = static_cast<int>(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) rows.push_back(RowAt(index));
  return rows;
}

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
  return out << "{" << row.name << ", " << row.digest << ", " << row.status << ", " << row.size
             << "}";
}

}  // namespace testsupport

#endif
