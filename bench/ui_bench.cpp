// End-to-end timings through the program's own code, in this process: the real main window,
// the -g action of the command line (busy mode, the walk, digesting, appending, batched
// redraws), Verify All, sorting, Select All and Delete. Beside them a floor that walks, opens,
// reads and closes the same files and does nothing else, and one that also digests them.
//
// Every figure goes to stdout as key=value words, for scripts/bench.sh to compare.
//   ui_bench floor DIR [digest]              with digest, every chunk also goes through MD5
//   ui_bench generate DIR SUMMARY [verify]   SUMMARY gets "digest name" lines, to be checked
//   ui_bench scale LIMIT                     adding modelled at 10,000, 50,000 and 100,000
//                                            entries, sorting, Select All and Delete; LIMIT is
//                                            the longest wait for Select All + Delete, in s
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/main_window.h"
#include "app/screen_refresh.h"
#include "app/selection.h"
#include "app/startup.h"
#include "app/title.h"
#include "app/verify_commands.h"
#include "digest/digest_kind.h"
#include "digest/md5.h"
#include "digest/read_hook.h"
#include "digest/read_queue.h"
#include "summary/adding.h"
#include "summary/document_state.h"

namespace {

double Seconds() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The longest time without a repaint, from Start to Stop; the start and the stop bound the
// first and the last interval.
struct GapMeter {
  bool tracking = false;
  double last = 0;
  double longest = 0;
  long paints = 0;

  void Start() {
    tracking = true;
    last = Seconds();
    longest = 0;
    paints = 0;
  }
  void Paint() {
    if (!tracking) return;
    double now = Seconds();
    longest = std::max(longest, now - last);
    last = now;
    ++paints;
  }
  void Stop() {
    if (!tracking) return;
    longest = std::max(longest, Seconds() - last);
    tracking = false;
  }
};

// A screen refresh is a paint of the list, the status bar or its progress bar, or a new item
// count, status text or title handed over: while files are read, what changes on screen is the
// status text, the progress, the title, the rows in sight and the list's scroll bar.
GapMeter ScreenGaps;
GapMeter ProgressGaps;

// The meters watch the windows through a plain window-procedure subclass: the comctl32
// subclass helper looks up a window property on every message, which under Wine is a server
// round trip and would slow down every list request being measured.
WNDPROC MainProc = nullptr;
WNDPROC ListProc = nullptr;
WNDPROC StatusProc = nullptr;
WNDPROC ProgressProc = nullptr;

LRESULT Watch(GapMeter* gaps, WNDPROC original, HWND window, UINT message, WPARAM wParam,
              LPARAM lParam) {
  if (message == WM_PAINT) {
    ScreenGaps.Paint();
    if (gaps) gaps->Paint();
  }
  return CallWindowProcW(original, window, message, wParam, lParam);
}

LRESULT CALLBACK ListSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A new count redraws the list's scroll bar (and the rows it brings into sight).
  if (message == LVM_SETITEMCOUNT) ScreenGaps.Paint();
  return Watch(nullptr, ListProc, window, message, wParam, lParam);
}

LRESULT CALLBACK MainSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A new title (the item count) is painted in the title bar when it is handed over.
  if (message == WM_SETTEXT) ScreenGaps.Paint();
  return CallWindowProcW(MainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK StatusSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A status text handed over is on screen when the call returns; the control draws nothing
  // when the text is the one it shows already (the same name in another folder).
  if (message == SB_SETTEXTA) ScreenGaps.Paint();
  return Watch(nullptr, StatusProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Watch(&ProgressGaps, ProgressProc, window, message, wParam, lParam);
}

WNDPROC Spy(HWND window, WNDPROC spy) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(spy)));
}

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// The main window as the program shows it at start, with the paint meters attached.
HWND OpenWindow() {
  SetBaseDirectory("");
  SetSummaryPath("");
  SetModified(false);
  BusyFlag = false;
  ClearStopRequest();
  HWND window = CreateMainWindow(40, 40, 900, 640);
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  PumpPending();
  ScreenGaps = GapMeter();
  ProgressGaps = GapMeter();
  MainProc = Spy(window, MainSpy);
  ListProc = Spy(EntryList, ListSpy);
  StatusProc = Spy(StatusBar, StatusSpy);
  ProgressProc = Spy(ProgressBar, ProgressSpy);
  return window;
}

void CloseMainWindow() {
  if (!MainWindow) return;
  ClearEntries();
  BusyFlag = false;
  SetModified(false);
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  PumpPending();
}

std::string StatusBarText() {
  char text[256] = "";
  if (StatusBar) SendMessageA(StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

// A line on stderr every few seconds of a long operation, to show where it stands.
double TraceStart = 0;
void CALLBACK TraceTick(HWND, UINT, UINT_PTR, DWORD) {
  std::fprintf(stderr, "ui_bench: %.0f s, %d entries\n", Seconds() - TraceStart, EntryCount());
}

// The -g action exactly as the command line runs it; returns seconds.
double Generate(HWND window, const char* directory) {
  char copy[MAX_PATH];
  std::snprintf(copy, sizeof copy, "%s", directory);
  ScreenGaps.Start();
  ProgressGaps.Start();
  double start = Seconds();
  TraceStart = start;
  UINT_PTR trace = SetTimer(nullptr, 0, 10000, TraceTick);
  RunStartupAction(window, copy, nullptr, nullptr);
  double seconds = Seconds() - start;
  KillTimer(nullptr, trace);
  ScreenGaps.Stop();
  ProgressGaps.Stop();
  return seconds;
}

double Verify(HWND window) {
  ScreenGaps.Start();
  double start = Seconds();
  VerifyAll(window);
  double seconds = Seconds() - start;
  ScreenGaps.Stop();
  return seconds;
}

bool WriteSummary(const char* path) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  int count = EntryCount();
  for (int index = 0; index < count; ++index) {
    char digest[kDigestTextSize];
    char name[MAX_PATH];
    GetEntryText(index, kColumnDigest, digest, sizeof digest);
    GetEntryText(index, kColumnName, name, sizeof name);
    std::fprintf(file, "%s %s\n", digest, name);
  }
  return std::fclose(file) == 0;
}

// The floor: the same walk, and per file only CreateFile (with the program's flags), 32 KiB
// reads to the end, CloseHandle. Its digesting form also runs every chunk through the engine:
// what the program would cost without a window, so that the bench can tell the window's share.
enum class FloorKind { kRead, kReadAndDigest };

struct FloorWalker {
  FloorKind kind;
  unsigned char* buffer;
  long files = 0;
  double bytes = 0;

  void ReadFileThrough(HANDLE file) {
    Md5Context context;
    Md5Init(&context);
    DWORD read = 0;
    while (ReadFile(file, buffer, 32768, &read, nullptr) && read > 0) {
      if (kind == FloorKind::kReadAndDigest) Md5Update(&context, buffer, read);
      bytes += read;
    }
    unsigned char digest[16];
    Md5Final(digest, &context);
  }

  void Walk(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((directory + "\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) {
        continue;
      }
      std::string path = directory + "\\" + found.cFileName;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        Walk(path);
        continue;
      }
      HANDLE file = CreateFileA(
          path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
          FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) continue;
      ReadFileThrough(file);
      CloseHandle(file);
      ++files;
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
};

int RunFloor(const char* directory, FloorKind kind) {
  auto* buffer = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, 32768, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  FloorWalker walker{kind, buffer};
  double start = Seconds();
  walker.Walk(directory);
  double seconds = Seconds() - start;
  VirtualFree(buffer, 0, MEM_RELEASE);
  const char* key = kind == FloorKind::kRead ? "floor" : "digest_floor";
  std::printf("%s_s=%.4f %s_files=%ld %s_mb=%.1f\n", key, seconds, key, walker.files, key,
              walker.bytes / 1e6);
  return walker.files > 0 ? 0 : 1;
}

int RunGenerate(const char* directory, const char* summary, bool verify) {
  HWND window = OpenWindow();
  if (!window) return 1;
  double seconds = Generate(window, directory);
  int entries = EntryCount();
  std::printf("add_s=%.4f entries=%d add_gap_ms=%.1f add_paints=%ld progress_gap_ms=%.1f\n",
              seconds, entries, ScreenGaps.longest * 1e3, ScreenGaps.paints,
              ProgressGaps.longest * 1e3);
  std::fflush(stdout);
  bool written = WriteSummary(summary);
  if (verify) {
    double verifySeconds = Verify(window);
    std::printf("verify_s=%.4f verify_gap_ms=%.1f verify_paints=%ld verify_ok=%d\n",
                verifySeconds, ScreenGaps.longest * 1e3, ScreenGaps.paints,
                StatusBarText() == "All files OK" ? 1 : 0);
  }
  CloseMainWindow();
  return written && entries > 0 ? 0 : 1;
}

// Adding modelled without reading files: per file, the walk's own work in busy mode after
// DigestFile (duplicate test, append, batched redraw, the title every 50th file), as
// AddDirectoryTree does it. Names come in a scattered order, as a directory listing gives
// them; digests and sizes vary like real ones. The shares of the three parts go to stdout.
double ModelAdd(HWND window, int count, const char* label) {
  double appendTime = 0, refreshTime = 0, titleTime = 0;
  ScreenGaps.Start();
  double start = Seconds();
  BeginLongOperation();
  int addedSinceTitle = 0;
  for (int i = 0; i < count; ++i) {
    unsigned n = static_cast<unsigned>((static_cast<unsigned long long>(i) * 7919u) % count);
    char name[64];
    std::snprintf(name, sizeof name, "d%02u/e%02u/f%06u.bin", n % 97, n % 89, n);
    Md5Context context;
    Md5Init(&context);
    Md5Update(&context, &n, sizeof n);
    unsigned char digest[16];
    Md5Final(digest, &context);
    char text[kDigestTextSize];
    DigestToHex(text, digest);
    double t0 = Seconds();
    if (!IsNameListed(name)) AppendEntry(name, text, kStatusOk, 1 + static_cast<int32_t>(n % 8));
    double t1 = Seconds();
    RefreshScreenIfDue();
    double t2 = Seconds();
    if (++addedSinceTitle == 50) {
      addedSinceTitle = 0;
      RefreshTitle();
    }
    double t3 = Seconds();
    appendTime += t1 - t0;
    refreshTime += t2 - t1;
    titleTime += t3 - t2;
  }
  EndLongOperation();
  RefreshTitle();
  double seconds = Seconds() - start;
  ScreenGaps.Stop();
  std::printf("%s_add_s=%.4f %s_entries=%d %s_add_gap_ms=%.1f %s_add_paints=%ld "
              "%s_append_s=%.3f %s_refresh_s=%.3f %s_title_s=%.3f\n",
              label, seconds, label, EntryCount(), label, ScreenGaps.longest * 1e3, label,
              ScreenGaps.paints, label, appendTime, label, refreshTime, label, titleTime);
  std::fflush(stdout);
  return seconds;
}

// Select All, then Delete, as the Edit commands run them, with the repaint that follows;
// returns the seconds of both.
double SelectAndDelete(HWND window, const char* label) {
  double start = Seconds();
  SelectAll();
  UpdateWindow(EntryList);
  double selectSeconds = Seconds() - start;
  int selected = static_cast<int>(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0));
  start = Seconds();
  DeleteSelected(window);
  double deleteSeconds = Seconds() - start;
  std::printf("%s_select_s=%.4f %s_selected=%d %s_delete_s=%.4f %s_left=%d\n", label,
              selectSeconds, label, selected, label, deleteSeconds, label, EntryCount());
  std::fflush(stdout);
  return selectSeconds + deleteSeconds;
}

// Verifying finds each entry's item again by its record, before and after reading its file.
void TimeLocate(const char* label) {
  const SummaryEntry* last = GetEntry(EntryCount() - 1);
  double start = Seconds();
  for (int k = 0; k < 10; ++k) FindEntryIndex(last);
  std::printf("%s_locate_last_ms=%.3f\n", label, (Seconds() - start) / 10 * 1e3);
}

void TimeSorts() {
  // Each column twice: the first click sorts ascending, the second descending.
  const char* columns[] = {"name", "digest", "status", "size"};
  for (int column = 0; column < 4; ++column) {
    for (int click = 0; click < 2; ++click) {
      double start = Seconds();
      SortEntries(column);
      UpdateWindow(EntryList);
      std::printf("sort_%s_%s_s=%.4f\n", columns[column], click == 0 ? "asc" : "desc",
                  Seconds() - start);
      std::fflush(stdout);
    }
  }
}

// A sort keeps the selection with its entries: the dearest case has every entry selected.
void TimeSortOfSelection() {
  SelectAll();
  double start = Seconds();
  SortEntries(kColumnName);
  UpdateWindow(EntryList);
  int selected = static_cast<int>(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0));
  std::printf("sort_all_selected_s=%.4f sort_all_selected_count=%d\n", Seconds() - start, selected);
  SendMessageA(EntryList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), [] {
    static LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    return reinterpret_cast<LPARAM>(&none);
  }());
  std::fflush(stdout);
}

int RunScale(double selectLimit) {
  // 10,000 three times and 100,000 twice, so that the best of each is compared.
  struct Step {
    int count;
    const char* label;
  };
  const Step steps[] = {{10000, "s10k"}, {10000, "s10k"}, {10000, "s10k"},
                        {50000, "s50k"}, {100000, "s100k"}, {100000, "s100k"}};
  double tenThousand = 1e30;
  for (int i = 0; i < 6; ++i) {
    HWND window = OpenWindow();
    if (!window) return 1;
    ModelAdd(window, steps[i].count, steps[i].label);
    if (i == 0 || i == 3 || i == 4) TimeLocate(steps[i].label);
    if (i < 3) tenThousand = std::min(tenThousand, SelectAndDelete(window, "s10k"));
    if (i == 5) {
      TimeSorts();
      TimeSortOfSelection();
      // Quadratic at worst: run Select All and Delete at 100,000 only when the 10,000 figures,
      // scaled by 100, promise a bearable wait.
      if (tenThousand * 100 <= selectLimit) {
        SelectAndDelete(window, "s100k");
      } else {
        std::printf("s100k_select_delete_skipped=1 s100k_projected_s=%.0f\n", tenThousand * 100);
      }
    }
    CloseMainWindow();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ui_bench floor DIR [digest] | generate DIR SUMMARY [verify] | scale LIMIT\n");
    return 2;
  }
  std::string mode = argv[1];
  if (mode == "floor") {
    bool digest = argc >= 4 && std::strcmp(argv[3], "digest") == 0;
    return RunFloor(argv[2], digest ? FloorKind::kReadAndDigest : FloorKind::kRead);
  }

  CoInitialize(nullptr);
  InitCommonControls();
  PrepareProcessState(GetModuleHandleA(nullptr));
  // The kind of digest -g takes, as Edit > Digest remembers it: MD5 unless the bench names one.
  WritePrivateProfileStringA("Misc", "digest", std::getenv("VELMORA_BENCH_DIGEST"), "dorvex.ini");
  // The bench's switch for the figures of one reader beside those of the program's own count.
  if (const char* readers = std::getenv("VELMORA_BENCH_READERS")) {
    SetReaderCountForTests(std::atoi(readers));
  }
  RegisterMainWindowClass(GetModuleHandleA(nullptr));
  int result = 2;
  if (mode == "generate" && argc >= 4) {
    result = RunGenerate(argv[2], argv[3], argc >= 5 && std::strcmp(argv[4], "verify") == 0);
  } else if (mode == "scale") {
    result = RunScale(std::atof(argv[2]));
  }
  CoUninitialize();
  return result;
}
