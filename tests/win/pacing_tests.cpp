// Long operations as the program paces them: the status text and the progress position held
// between dispatches, and pending messages dispatched by the clock rather than after every
// chunk. Whatever a dispatched message can see must be current, and Stop must still work.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "app/verify_commands.h"
#include "digest/file_digest.h"
#include "digest/read_hook.h"
#include "digest/read_queue.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

// Large enough that reading one takes several dispatch intervals.
const size_t kLongFileBytes = 32u << 20;
// Large enough that digesting it alone, at the speed of a fast core (about 1 GB/s), spans five
// looks at the queue: a test that must see the read in several stretches cannot pass or fail
// by the machine's speed.
const size_t kVeryLongFileBytes = 128u << 20;

int ProgressPosition() { return static_cast<int>(SendMessageA(ProgressBar, PBM_GETPOS, 0, 0)); }

class PacingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(OpenMainWindow(), nullptr);
    SetDisplayPacing(DisplayPacing::kPaced);
    // The display's pacing as one reader paces it: with several, a file already read when its
    // turn comes is recorded without a dispatch of its own (see parallel_tests).
    SetReaderCountForTests(1);
    SetBaseDirectory(scratch_.Path().c_str());
  }
  void TearDown() override {
    SetDisplayPacing(DisplayPacing::kEveryChunk);
    SetReaderCountForTests(0);
    ClearStopRequest();
    CloseMainWindow();
  }

  static std::string Name(int i) { return "f" + std::to_string(i) + ".bin"; }

  // count long files (the first of firstBytes), listed as a freshly read summary lists them.
  void ListLongFiles(int count, size_t firstBytes = kLongFileBytes) {
    for (int i = 0; i < count; ++i) {
      std::string bytes(i == 0 ? firstBytes : kLongFileBytes, static_cast<char>('a' + i));
      bytes[i] = 'z';
      scratch_.Write(Name(i), bytes);
      digests_.push_back(DigestOf(bytes));
      AppendEntry(Name(i).c_str(), digests_.back().c_str(), kStatusNotVerified, kNoSize);
    }
    SetModified(false);
  }

  // Adds the scratch folder as Add Directory does, with a timer (when given) that sees the
  // walk's dispatches.
  void AddScratchTree(TIMERPROC atDispatch = nullptr, UINT every = 0) {
    UINT_PTR timer = atDispatch ? SetTimer(nullptr, 0, every, atDispatch) : 0;
    ASSERT_TRUE(!atDispatch || timer != 0);
    AddTreeAsOperation(scratch_.Path().c_str());
    if (timer) KillTimer(nullptr, timer);
  }

  ScratchDir scratch_;
  std::vector<std::string> digests_;
};

struct Dispatch {
  int entry;  // the entry being read
  std::string status;
  int progress;
};

// What a timer sees each time the operation's pumping dispatches it: as close to "every
// dispatch" as an observer gets, since a due timer is handed out by every look at the queue.
std::vector<Dispatch>* Seen = nullptr;

void CALLBACK RecordDispatch(HWND, UINT, UINT_PTR, DWORD) {
  if (!Seen || !BusyFlag) return;
  int entry = -1;
  for (int index = 0; index < EntryCount() && entry < 0; ++index) {
    if (ColumnText(index, kColumnStatus) == "Not Verified") entry = index;
  }
  Seen->push_back({entry, StatusBarText(), ProgressPosition()});
  if (entry == 1) RequestStop();  // as the Stop command does
}

TEST_F(PacingTest, EveryDispatchSeesTheCurrentFileAndProgressAndStopStillEndsThePass) {
  ListLongFiles(3, kVeryLongFileBytes);
  std::vector<Dispatch> seen;
  Seen = &seen;
  UINT_PTR timer = SetTimer(nullptr, 0, 5, RecordDispatch);  // due at every look at the queue
  ASSERT_NE(timer, 0u);

  VerifyAll(MainWindow);
  KillTimer(nullptr, timer);
  Seen = nullptr;

  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().entry, 0);
  EXPECT_EQ(seen.back().entry, 1);
  int previous = 0;
  for (size_t i = 0; i < seen.size(); ++i) {
    const Dispatch& d = seen[i];
    ASSERT_GE(d.entry, 0) << i;
    EXPECT_EQ(d.status, " " + Name(d.entry) + "...") << i;
    EXPECT_EQ(d.progress % 2, 0) << i;
    if (i > 0 && d.entry == seen[i - 1].entry) {
      EXPECT_GE(d.progress, previous) << i;
    }
    previous = d.progress;
  }
  // The first file was read in more than one stretch: the window stayed alive within it.
  size_t withinFirst = 0;
  for (const Dispatch& d : seen) withinFirst += d.entry == 0 && d.progress > 0 ? 1 : 0;
  EXPECT_GE(withinFirst, 2u);

  char size[kSizeTextSize];
  FormatSizeText(static_cast<int32_t>(kVeryLongFileBytes / 1024), ThousandsSeparator(), size,
                 sizeof size);
  std::vector<Row> expected = {{Name(0), digests_[0], "OK", size},
                               {Name(1), digests_[1], "Not Verified", ""},
                               {Name(2), digests_[2], "Not Verified", ""}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_EQ(ProgressPosition(), 0);
  EXPECT_FALSE(BusyFlag);
}

TEST_F(PacingTest, StopPostedBeforeThePassIsSeenBeforeTheFirstRead) {
  ListLongFiles(2);
  PostStop();
  VerifyAll(MainWindow);
  EXPECT_EQ(ColumnText(0, kColumnStatus), "Not Verified");
  EXPECT_EQ(ColumnText(1, kColumnStatus), "Not Verified");
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_FALSE(BusyFlag);
  SetStatusText("idle");  // outside an operation a text is shown at once
  EXPECT_EQ(StatusBarText(), "idle");
}

TEST_F(PacingTest, ManySmallFilesEndWithEveryEntryAndTheScreenSettled) {
  const int kFiles = 230;
  for (int i = 0; i < kFiles; ++i) scratch_.Write("s" + std::to_string(1000 + i) + ".txt", "x");
  SetStatusText("before");

  AddScratchTree();

  EXPECT_EQ(EntryCount(), kFiles);
  EXPECT_EQ(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0), kFiles);  // the held count handed over
  EXPECT_EQ(ListedNameCount(), kFiles);
  EXPECT_EQ(MainTitle(), TitleWithCount(kFiles));
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_EQ(ProgressPosition(), 0);
  for (int index = 0; index < EntryCount(); ++index) {
    EXPECT_EQ(ColumnText(index, kColumnStatus), "OK") << index;
  }
}

struct TitleSeen {
  int entries;
  std::string title;
};
std::vector<TitleSeen>* TitlesSeen = nullptr;

void CALLBACK RecordTitle(HWND, UINT, UINT_PTR, DWORD) {
  if (TitlesSeen && BusyFlag) TitlesSeen->push_back({EntryCount(), MainTitle()});
}

TEST_F(PacingTest, EveryDispatchSeesTheTitleOfTheLastFiftiethFile) {
  const int kFiles = 700;
  for (int i = 0; i < kFiles; ++i) scratch_.Write("u" + std::to_string(1000 + i) + ".txt", "xy");
  std::vector<TitleSeen> seen;
  TitlesSeen = &seen;
  AddScratchTree(RecordTitle, 5);
  TitlesSeen = nullptr;

  // Held titles are handed over before a dispatch: none is older than the last 50th file.
  ASSERT_FALSE(seen.empty());
  for (const TitleSeen& t : seen) EXPECT_EQ(t.title, TitleWithCount(t.entries / 50 * 50)) << t.entries;
  EXPECT_EQ(MainTitle(), TitleWithCount(kFiles));
}

// When the main window was handed a title while changes were held.
std::vector<double>* TitleHandovers = nullptr;
WNDPROC MainProcBeforeSpy = nullptr;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK TitleSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT && TitleHandovers && DisplayHeld()) TitleHandovers->push_back(NowMs());
  return CallWindowProcA(MainProcBeforeSpy, window, message, wParam, lParam);
}

// A title that changes every few milliseconds, as the walk's does, over three title intervals
// with nothing to dispatch; the times it was handed over. With a status text that changes as
// often, as each file's name does, the status bar shows the walk moving at every refresh.
std::vector<double> HoldChangingTitle(bool withStatusText) {
  std::vector<double> handovers;
  TitleHandovers = &handovers;
  MainProcBeforeSpy = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TitleSpy)));
  BeginBatchedRedraw();
  std::string title;
  double start = NowMs();
  for (int i = 0; NowMs() - start < 3.0 * kTitleInterval; ++i) {
    title = "title " + std::to_string(i);
    SetWindowTitle(MainWindow, title.c_str());
    if (withStatusText) SetStatusText((" file" + std::to_string(i) + "...").c_str());
    RefreshScreenIfDue();
    Sleep(2);
  }
  EndBatchedRedraw();
  SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainProcBeforeSpy));
  TitleHandovers = nullptr;
  EXPECT_EQ(MainTitle(), title);  // the end of the batch shows the newest
  return handovers;
}

TEST_F(PacingTest, BesideANewStatusTextHeldTitlesWaitForTheTitleInterval) {
  std::vector<double> handovers = HoldChangingTitle(true);
  // The first refresh shows one; in three intervals at least two more follow.
  EXPECT_GE(handovers.size(), 3u);
  for (size_t i = 1; i < handovers.size(); ++i) {
    // The pacing's clock counts whole milliseconds.
    EXPECT_GE(handovers[i] - handovers[i - 1], kTitleInterval - 1.0) << i;
  }
}

TEST_F(PacingTest, WithoutANewStatusTextEveryRefreshHandsTheHeldTitleOver) {
  std::vector<double> handovers = HoldChangingTitle(false);
  // More than the four that waiting for the title interval would allow in three intervals.
  EXPECT_GT(handovers.size(), 4u);
}

TEST_F(PacingTest, HeldCountGoesToTheListWhenNewRowsWouldComeIntoSight) {
  BeginLongOperation();
  auto append = [](int i) {
    AppendEntry(("v" + std::to_string(1000 + i) + ".bin").c_str(), "0123456789abcdef0123456789abcdef",
                kStatusOk, 1);
  };
  append(0);
  EXPECT_TRUE(NewEntriesInSight());  // an empty list shows its first rows
  SyncEntryCount();
  EXPECT_FALSE(NewEntriesInSight());  // nothing held

  int perPage = static_cast<int>(SendMessageA(EntryList, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(perPage, 0);
  for (int i = 1; i < perPage + 5; ++i) append(i);
  SyncEntryCount();
  append(perPage + 5);
  EXPECT_FALSE(NewEntriesInSight());  // below the last row in sight: only the scroll bar changes

  SyncEntryCount();
  SendMessageA(EntryList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(EntryCount() - 1), FALSE);
  append(perPage + 6);
  EXPECT_TRUE(NewEntriesInSight());  // scrolled to the end, the next row shows

  EndLongOperation();
  EXPECT_EQ(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0), EntryCount());
}

// The vertical scroll bar's thumb, as drawn: its top and bottom along the bar.
std::pair<int, int> Thumb() {
  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof bar;
  EXPECT_TRUE(GetScrollBarInfo(EntryList, OBJID_VSCROLL, &bar));
  return {bar.xyThumbTop, bar.xyThumbBottom};
}

// A held count is left out of a refresh only when handing it over would leave the scroll bar
// as it is; every answer is checked against the bar once the count is handed over.
TEST_F(PacingTest, HeldCountWaitsOnlyWhileTheScrollBarWouldLookTheSame) {
  BeginLongOperation();
  int perPage = static_cast<int>(SendMessageA(EntryList, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(perPage, 2);
  int next = 0;
  auto appendAndCompare = [&](int count, bool changeExpected) {
    for (int end = next + count; next < end; ++next) {
      AppendEntry(("w" + std::to_string(100000 + next)).c_str(), "0123456789abcdef0123456789abcdef",
                  kStatusOk, 1);
    }
    std::pair<int, int> before = Thumb();
    EXPECT_EQ(NewCountChangesScrollBar(), changeExpected) << next;
    SyncEntryCount();
    EXPECT_EQ(Thumb() != before, changeExpected) << next;
  };
  appendAndCompare(perPage * 2, true);   // the bar shows up
  appendAndCompare(perPage * 2, true);   // its thumb halves
  appendAndCompare(20000, true);         // down to its shortest
  appendAndCompare(500, false);          // more below a shortest thumb at the top
  SendMessageA(EntryList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(next / 2), FALSE);
  appendAndCompare(5000, true);  // scrolled down, the thumb moves up
  EXPECT_FALSE(NewCountChangesScrollBar());  // nothing held
  EndLongOperation();
}

int SortsDone = 0;

void CALLBACK SortAtDispatch(HWND, UINT, UINT_PTR, DWORD) {
  static const int kColumns[] = {kColumnName, kColumnDigest, kColumnName, kColumnSize};
  if (!BusyFlag) return;
  SortEntries(kColumns[SortsDone % 4]);
  ++SortsDone;
}

TEST_F(PacingTest, SortsWhileAddingKeepEveryEntryWholeAndCounted) {
  const int kFiles = 600;
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "t" + std::to_string(1000 + i) + ".txt";
    scratch_.Write(name, name + std::string(static_cast<size_t>(i % 7) * 300, '.'));
  }
  SortsDone = 0;
  // Not every millisecond: a sort and the repaint it causes take longer than that, and a timer
  // that is due again after each dispatch would keep the pumping busy for ever.
  AddScratchTree(SortAtDispatch, 20);

  EXPECT_GT(SortsDone, 0);
  ASSERT_EQ(EntryCount(), kFiles);
  EXPECT_EQ(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0), kFiles);
  std::vector<std::string> names;
  for (int index = 0; index < kFiles; ++index) {
    const SummaryEntry* entry = GetEntry(index);
    ASSERT_NE(entry, nullptr) << index;
    std::string name = ColumnText(index, kColumnName);
    EXPECT_EQ(name, entry->name) << index;
    int i = std::stoi(name.substr(1, 4)) - 1000;
    EXPECT_EQ(ColumnText(index, kColumnDigest),
              DigestOf(name + std::string(static_cast<size_t>(i % 7) * 300, '.'))) << name;
    EXPECT_EQ(ColumnText(index, kColumnStatus), "OK") << name;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
  EXPECT_EQ(ListedNameCount(), kFiles);
}

}  // namespace
