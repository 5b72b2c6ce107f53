// Long runs: a 20,000-entry summary verified three times, stopped at varying points. What the
// process holds (handles, GDI and USER objects, private memory, entry records) must not grow.
#include <windows.h>
// commctrl.h and psapi.h need the types of windows.h first.
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/selection.h"
#include "app/title.h"
#include "app/verify_commands.h"
#include "digest/md5.h"
#include "digest/read_hook.h"
#include "summary/document_state.h"
#include "summary/summary_file.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const int kEntries = 20000;
const int kFiles = 100;

struct ProcessUse {
  DWORD handles;
  DWORD gdiObjects;
  DWORD userObjects;
  SIZE_T privateBytes;
};

ProcessUse MeasureProcess() {
  ProcessUse use = {};
  GetProcessHandleCount(GetCurrentProcess(), &use.handles);
  use.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  use.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                       sizeof memory);
  use.privateBytes = memory.PrivateUsage;
  return use;
}

std::string DigestText(const std::string& bytes) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, bytes.data(), static_cast<uint32_t>(bytes.size()));
  unsigned char digest[16];
  Md5Final(digest, &context);
  char text[33];
  DigestToHex(text, digest);
  return text;
}

// A summary of kEntries lines naming kFiles small files, each many times.
std::string MakeSummary(const ScratchDir& scratch) {
  std::string lines[kFiles];
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "f" + std::to_string(i) + ".bin";
    std::string bytes(1024 + 70 * i, static_cast<char>('a' + i % 26));
    scratch.Write(name, bytes);
    lines[i] = DigestText(bytes) + " *" + name + "\r\n";
  }
  std::string summary;
  for (int i = 0; i < kEntries; ++i) summary += lines[(i * 7) % kFiles];
  return scratch.Write("long.md5", summary);
}

void CALLBACK PressStop(HWND, UINT, UINT_PTR timer, DWORD) {
  RequestStop();
  KillTimer(nullptr, timer);
}

int StatusCount(const char* text) {
  int count = 0;
  char status[32];
  for (int index = 0; index < EntryCount(); ++index) {
    GetEntryText(index, kColumnStatus, status, sizeof status);
    count += std::string(status) == text;
  }
  return count;
}

TEST(LongRun, ThreeStoppedVerificationsHoldNothingBack) {
  ScratchDir scratch;
  std::string summary = MakeSummary(scratch);
  HWND window = OpenMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ReadSummaryFile(summary.c_str()));
  ASSERT_EQ(EntryCount(), kEntries);
  SetBaseDirectory(scratch.Path().c_str());
  ProcessUse first = {};
  // Stop at a random point of each pass; the seed is printed so a failure can be replayed.
  unsigned seed = GetTickCount();
  std::printf("long run: stop seed %u\n", seed);
  std::srand(seed);
  for (int run = 0; run < 3; ++run) {
    SetTimer(nullptr, 0, 100 + static_cast<UINT>(std::rand() % 2000), PressStop);
    VerifyAll(window);
    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(StatusCount("Mismatch") + StatusCount("Missing") + StatusCount("Read Error"), 0);
    EXPECT_EQ(LiveEntryRecords(), EntryCount());
    if (run == 0) first = MeasureProcess();
  }
  ProcessUse last = MeasureProcess();
  EXPECT_LE(last.handles, first.handles + 4);
  EXPECT_LE(last.gdiObjects, first.gdiObjects + 2);
  EXPECT_LE(last.userObjects, first.userObjects + 2);
  EXPECT_LE(last.privateBytes, first.privateBytes + 2 * 1024 * 1024);

  SelectAll();
  ListView_SetItemState(EntryList, 0, 0, LVIS_SELECTED);
  DeleteSelected(window);
  EXPECT_EQ(EntryCount(), 1);
  EXPECT_EQ(LiveEntryRecords(), 1);
  ClearEntries();
  EXPECT_EQ(LiveEntryRecords(), 0);
  CloseMainWindow();
}

}  // namespace
