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

enum { kNotUnderBaseTextSize = kPathTextSize + 64 };

void FormatNotUnderBase(const char* path, char (&text)[kNotUnderBaseTextSize]) {
  FormatText(text, sizeof text, "The file '%s' must be UNDER the Base Directory!", path);
}

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// What an addition does in its turn, in the order the paths came: list a file (read, or found
// listed already when it was queued), count something left out, or tell the user. Counting and
// telling wait for their turn too, so that with several readers nothing is told ahead of the
// files before it, nor after Stop.
struct AdditionStep {
  enum class Kind { kListFile, kCount, kTell };
  Kind kind = Kind::kListFile;
  std::string path;               // the file; the text to tell
  std::string relative;           // the file's name in the summary
  int LeftOutCounts::*count = nullptr;  // what to count
};

// A file read whole is listed unless its name was listed meanwhile (a second path to the same
// file, queued before the first was listed); the verdict, Out of memory where the entry could
// not be made.
int ListReadFile(const char* relative, int verdict, const char* digest, int32_t sizeKb) {
  if (verdict == kStatusOk && !IsNameListed(relative) &&
      !AppendEntry(relative, digest, kStatusOk, sizeKb)) {
    return kStatusOutOfMemory;
  }
  return verdict;
}

// The files of one addition, read several at once and listed in the order they were found.
class Addition {
 public:
  Addition() : queue_(OperationReaders(BaseDirectory())), kind_(DocumentDigestKind()) {}
  ~Addition() { Finish(); }
  Addition(const Addition&) = delete;
  Addition& operator=(const Addition&) = delete;

  // Queues a file (one already listed is counted as added, unread); false once stopped.
  bool Add(const char* path, int64_t listedSize) {
    if (stopped_) return false;
    AdditionStep step;
    char relative[kPathTextSize];
    if (!RelativeToBase(path, relative)) return true;  // the box has said so
    const bool listed = IsNameListed(relative);
    if (!Fill(&step, path, relative) ||
        !(listed ? queue_.PushUnread(step) : queue_.PushRead(step, kind_, path, listedSize, ""))) {
      ++LeftOut.outOfMemory;  // nothing else can be kept for it
    }
    return TakeWhileFull();
  }
  // Counts in its turn what was left out.
  void Count(int LeftOutCounts::*count) {
    AdditionStep step;
    step.kind = AdditionStep::Kind::kCount;
    step.count = count;
    if (!queue_.PushUnread(step)) ++(LeftOut.*count);
    TakeWhileFull();
  }
  // Tells the user in its turn, after the files before it are listed.
  void Tell(const char* text) {
    AdditionStep step;
    step.kind = AdditionStep::Kind::kTell;
    if (!Fill(&step, text, "") || !queue_.PushUnread(step)) {
      Finish();  // memory ran out: told now, still after what came before
      if (!stopped_) TellUser(text);
      return;
    }
    TakeWhileFull();
  }
  // Lists what is still in flight; false when stopped.
  bool Finish() {
    while (!stopped_ && !queue_.Empty()) TakeOldest();
    return !stopped_;
  }
  bool Stopped() const { return stopped_; }

 private:
  static bool Fill(AdditionStep* step, const char* path, const char* relative) {
    try {
      step->path = path;
      step->relative = relative;
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

  bool TakeWhileFull() {
    while (!stopped_ && queue_.Full()) TakeOldest();
    return !stopped_;
  }

  void TakeOldest() {
    std::shared_ptr<TaggedRead<AdditionStep>> item = queue_.TakeOldest();
    if (!item) {
      stopped_ = true;  // what is in flight was dropped unfinished
      return;
    }
    const AdditionStep& step = item->tag;
    if (step.kind == AdditionStep::Kind::kCount) {
      ++(LeftOut.*step.count);
    } else if (step.kind == AdditionStep::Kind::kTell) {
      TellUser(step.path.c_str());
    } else {
      const int verdict = item->NeedsReading()
                              ? ListReadFile(step.relative.c_str(), item->verdict, item->digest,
                                             item->sizeKb)
                              : kStatusOk;
      if (verdict == kStatusOk) ReportFileAdded();
      CountUnreadable(step.path.c_str(), verdict);
    }
  }

  TaggedReadQueue<AdditionStep> queue_;
  const DigestKind kind_;  // the document's, read once for the whole addition
  bool stopped_ = false;
};

void TellNotUnderBase(Addition* addition, const char* path) {
  char text[kNotUnderBaseTextSize];
  FormatNotUnderBase(path, text);
  addition->Tell(text);
}

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
    addition->Count(&LeftOutCounts::longPaths);
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
    if (!Vanished(directory)) addition->Count(&LeftOutCounts::unlistedFolders);
    return;
  }
  do {
    char name[kPathTextSize];
    if (!WideToProcessText(found.cFileName, name, sizeof name)) {
      // A name the code page cannot carry is never listed as another.
      addition->Count(&LeftOutCounts::unreadableFiles);
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

// One path of AddPaths; false once the addition was stopped. What cannot be added is counted,
// never told item by item: a drop of a thousand strays is one line of the status bar.
bool AddOnePath(Addition* addition, const char* path) {
  const bool folder = IsFolder(path);
  if (ProcessTextUnits(path) >= MAX_PATH) {
    addition->Count(&LeftOutCounts::longPaths);
  } else if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
    addition->Count(&LeftOutCounts::notUnderBase);
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
      addition.Tell("Too long filename");
      if (addition.Stopped()) break;
      continue;
    }
    // Up to 259 characters of directory and name and the separator: 260 and the terminator.
    char path[kPathTextSize + 1];
    JoinPath(directory, name, path, sizeof path);
    if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
      TellNotUnderBase(&addition, path);
    } else if (!addition.Add(path, kSizeNotListed)) {
      break;
    }
    if (StopRequested()) break;
  }
  addition.Finish();
}

bool AddChosenFile(const char* path) {
  if (!IsUnderBase(BaseDirectory(), path, nullptr)) {
    char text[kNotUnderBaseTextSize];
    FormatNotUnderBase(path, text);
    TellUser(text);
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
  const int verdict = DigestFile(DocumentDigestKind(), path, digest, &sizeKb, listedSize);
  return ListReadFile(relative, verdict, digest, sizeKb);
}

void AddDirectoryTree(const char* directory) {
  Addition addition;
  WalkTree(&addition, directory);
  addition.Finish();
}
