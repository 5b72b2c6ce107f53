#include "summary/adding.h"

#include <windows.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>

#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "common/win_guards.h"
#include "digest/read_hook.h"
#include "digest/read_queue.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/operation_hook.h"
#include "summary/summary_file.h"

LeftOutCounts LeftOut;

const char kFolderNotUnderBase[] = "The selected directory must be UNDER the Base Directory!";

namespace {

const size_t kWalkPathSize = kPathTextSize + 8;  // a path, and the "*.*" of its listing

// Whether the path is gone: a file or folder that vanished while the addition ran has nothing
// left to protect. Anything else that could not be read (held open by another program, no
// access, a path the system refuses) is left out and counted.
bool Vanished(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void CountUnreadable(const char* path, int verdict) {
  if (verdict == kStatusOutOfMemory) {
    ++LeftOut.outOfMemory;
  } else if (verdict != kStatusOk && verdict != kStatusInterrupted && !Vanished(path)) {
    ++LeftOut.unreadableFiles;
  }
}

void TellNotUnderBase(const char* path) {
  char text[kPathTextSize + 64];
  FormatText(text, sizeof text, "The file '%s' must be UNDER the Base Directory!", path);
  TellUser(text);
}

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// The entry of a file read whole; the verdict, or Out of memory where the entry could not be made.
int ListReadFile(const char* relative, int verdict, const char* digest, int32_t sizeKb) {
  if (verdict == kStatusOk && !AppendEntry(relative, digest, kStatusOk, sizeKb)) {
    return kStatusOutOfMemory;
  }
  return verdict;
}

// The files of one addition, read several at once and listed in the order they were found.
class Addition {
 public:
  Addition() : queue_(BaseDirectory()) {}
  ~Addition() { Finish(); }
  Addition(const Addition&) = delete;
  Addition& operator=(const Addition&) = delete;

  // Queues a file (one already listed is counted as added, unread); false once stopped.
  bool Add(const char* path, int64_t listedSize) {
    if (stopped_) return false;
    Pending pending;
    pending.path = path;
    if (!RelativeToBase(path, pending.relative)) {
      pending.verdict = kStatusMissing;
    } else if (IsNameListed(pending.relative)) {
      pending.verdict = kStatusOk;
    } else {
      pending.read = std::make_shared<QueuedRead>(path, listedSize, std::string());
      queue_.Push(pending.read);
    }
    pending_.push_back(pending);
    while (!stopped_ && !pending_.empty() && (queue_.Full() || !pending_.front().read)) {
      ListOldest();
    }
    return !stopped_;
  }
  // Lists what is still in flight; false when stopped.
  bool Finish() {
    while (!stopped_ && !pending_.empty()) ListOldest();
    return !stopped_;
  }
  bool Stopped() const { return stopped_; }

 private:
  struct Pending {
    std::string path;
    char relative[kPathTextSize];
    int verdict = kStatusOk;
    std::shared_ptr<QueuedRead> read;  // none when nothing is to be read
  };

  void ListOldest() {
    Pending pending = pending_.front();
    pending_.pop_front();
    int verdict = pending.verdict;
    if (pending.read) {
      std::shared_ptr<QueuedRead> read = queue_.TakeOldest();
      if (!read) {
        stopped_ = true;
        pending_.clear();
        return;
      }
      verdict = ListReadFile(pending.relative, read->verdict, read->digest, read->sizeKb);
    }
    if (verdict == kStatusOk) ReportFileAdded();
    CountUnreadable(pending.path.c_str(), verdict);
  }

  ReadQueue queue_;
  std::deque<Pending> pending_;
  bool stopped_ = false;
};

int64_t ListedSize(const WIN32_FIND_DATAW& found) {
  return static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) |
                              found.nFileSizeLow);
}

void WalkTree(Addition* addition, const char* directory);

void VisitFoundEntry(Addition* addition, const WIN32_FIND_DATAW& found, const char* name,
                     char* path, size_t directoryLength) {
  // A path that does not fit the system limit would be cut: leave it out and count it. The
  // limit counts characters as Windows does, not the bytes of their UTF-8 form.
  path[directoryLength] = '\0';
  bool fits = ProcessTextUnits(path) + ProcessTextUnits(name) < MAX_PATH;
  AppendText(path, kWalkPathSize, name);
  if (!fits) {
    ++LeftOut.longPaths;
  } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    WalkTree(addition, path);
  } else {
    addition->Add(path, ListedSize(found));
  }
}

void WalkTree(Addition* addition, const char* directory) {
  char path[kWalkPathSize];
  JoinPath(directory, "", path, sizeof path);
  size_t length = std::strlen(path);
  AppendText(path, sizeof path, "*.*");
  char literal[kWalkPathSize + 8];
  const char* pattern = MakeLiteralPath(path, literal, sizeof literal) ? literal : path;
  // The wide listing: the ANSI one holds 260 bytes of a name, too few for 255 characters of
  // UTF-8, and its conversion may give a name that opens another file or none. A folder of 256
  // or 257 characters is listed in the literal form.
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileW(WidePath(pattern).c_str(), &found));
  if (!find.IsValid()) {
    if (!Vanished(directory)) ++LeftOut.unlistedFolders;
    return;
  }
  do {
    char name[kPathTextSize];
    if (!WideToProcessText(found.cFileName, name, sizeof name)) {
      ++LeftOut.unreadableFiles;  // a name the code page cannot carry is never listed as another
      continue;
    }
    if (IsDotEntry(name)) continue;
    VisitFoundEntry(addition, found, name, path, length);
    if (addition->Stopped() || StopRequested()) break;
  } while (FindNextFileW(find.Get(), &found));
}

}  // namespace

void StartCountingAdditions() { LeftOut = LeftOutCounts(); }

namespace {

bool IsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One path of AddPaths; false once the addition was stopped.
bool AddOnePath(Addition* addition, const char* path) {
  const bool folder = IsFolder(path);
  if (ProcessTextUnits(path) >= MAX_PATH) {
    if (folder) {
      ++LeftOut.longPaths;
    } else {
      TellUser("Too long filename");
    }
  } else if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
    if (folder) {
      TellUser(kFolderNotUnderBase);
    } else {
      TellNotUnderBase(path);
    }
  } else if (folder) {
    WalkTree(addition, path);
  } else {
    addition->Add(path, kSizeNotListed);
  }
  return !addition->Stopped() && !StopRequested();
}

}  // namespace

void AddPaths(const std::vector<std::string>& paths) {
  Addition addition;
  for (const std::string& path : paths) {
    if (!AddOnePath(&addition, path.c_str())) break;
  }
  addition.Finish();
}

void AddSelectedNames(const char* directory, const char* firstName) {
  Addition addition;
  for (const char* name = firstName; *name; name += std::strlen(name) + 1) {
    // Characters as Windows counts them, not the bytes of their UTF-8 form.
    if (ProcessTextUnits(directory) + ProcessTextUnits(name) >= MAX_PATH) {
      TellUser("Too long filename");
      continue;
    }
    // Up to 259 characters of directory and name and the separator: 260 and the terminator.
    char path[kPathTextSize + 1];
    JoinPath(directory, name, path, sizeof path);
    if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
      TellNotUnderBase(path);
    } else if (!addition.Add(path, kSizeNotListed)) {
      break;
    }
    if (StopRequested()) break;
  }
  addition.Finish();
}

bool AddChosenFile(const char* path) {
  if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
    TellNotUnderBase(path);
    return false;
  }
  int verdict = AddFileEntry(path);
  CountUnreadable(path, verdict);
  return verdict == kStatusOk;
}

int AddFileEntry(const char* path, int64_t listedSize) {
  char relative[kPathTextSize];
  if (!RelativeToBase(path, relative)) return kStatusMissing;
  if (IsNameListed(relative)) return kStatusOk;
  char digest[kDigestTextSize];
  int32_t sizeKb = -1;
  const int verdict = DigestFile(path, digest, &sizeKb, listedSize);
  return ListReadFile(relative, verdict, digest, sizeKb);
}

void AddDirectoryTree(const char* directory) {
  Addition addition;
  WalkTree(&addition, directory);
  addition.Finish();
}
