// Several readers at once: results on their own entries, in list and walk order, whatever order
// the reads finish in; Stop with reads in flight; a failing file among good ones.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/adding_commands.h"
#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/verify_commands.h"
#include "digest/read_queue.h"
#include "summary/adding.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const int kReaders = 4;

class ParallelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(OpenMainWindow(), nullptr);
    SetBaseDirectory(scratch_.Path().c_str());
    SetReaderCountForTests(kReaders);
  }
  void TearDown() override {
    ReleaseHeldReadForTests();
    SetReaderCountForTests(0);
    CancelPendingAction();
    CloseMainWindow();
  }

  static std::string Name(int i) { return "f" + std::to_string(i) + ".bin"; }
  // Whole kilobytes of sizes that differ, so a result on the wrong entry shows in its Size column.
  static std::string Content(int i) {
    return std::string(1024 * (1 + i % 9), static_cast<char>('a' + i % 26));
  }
  // count files listed as a freshly read summary lists them, the first of firstBytes.
  void ListFiles(int count, size_t firstBytes) {
    for (int i = 0; i < count; ++i) {
      std::string bytes = i == 0 ? std::string(firstBytes, 'z') : Content(i);
      scratch_.Write(Name(i), bytes);
      AppendEntry(Name(i).c_str(), DigestOf(bytes).c_str(), kStatusNotVerified, kNoSize);
      sizes_.push_back(std::to_string(bytes.size() / 1024) + " K  ");
    }
    SetModified(false);
  }
  std::string PathOf(int i) { return scratch_.Path() + "\\" + Name(i); }

  ScratchDir scratch_;
  std::vector<std::string> sizes_;
};

TEST_F(ParallelTest, ResultsReachTheirOwnEntriesWhenTheFirstFileFinishesLastAndTheListIsSorted) {
  const int kFiles = 10;
  ListFiles(kFiles, 512u << 10);
  WriteFileWhole(PathOf(3), "changed");  // one verdict differs from the rest
  HoldReadForTests(PathOf(0).c_str());
  const int before = FinishedReadsForTests();
  // With the first read held, the others finish first; the list is sorted (descending by name)
  // before the first result is recorded.
  ActWhen([before] { return FinishedReadsForTests() - before >= kFiles - 1; },
          [] {
            SortEntries(kColumnName);
            if (SortAscending) SortEntries(kColumnName);
            ReleaseHeldReadForTests();
          });
  VerifyAll(MainWindow);
  EXPECT_FALSE(BusyFlag);
  ASSERT_EQ(EntryCount(), kFiles);
  for (int index = 0; index < kFiles; ++index) {
    const std::string name = ColumnText(index, kColumnName);
    const int file = std::stoi(name.substr(1));
    EXPECT_EQ(ColumnText(index, kColumnStatus), file == 3 ? "Mismatch" : "OK") << name;
    EXPECT_EQ(ColumnText(index, kColumnSize), file == 3 ? "1 K  " : sizes_[file]) << name;
  }
  EXPECT_EQ(ColumnText(0, kColumnName), Name(9));  // still in the sorted order
}

TEST_F(ParallelTest, StopWithReadsInFlightChangesNoEntryAndDoesNotWaitForAHeldRead) {
  ListFiles(8, 4096);
  HoldReadForTests(PathOf(0).c_str());
  const int before = FinishedReadsForTests();
  ActWhen([before] { return FinishedReadsForTests() - before >= 3; },
          [] { SendMessageA(MainWindow, WM_COMMAND, IDM_STOP, 0); });
  VerifyAll(MainWindow);  // returns with the first read still held
  EXPECT_FALSE(BusyFlag);
  for (int index = 0; index < EntryCount(); ++index) {
    EXPECT_EQ(ColumnText(index, kColumnStatus), "Not Verified") << index;
  }
  EXPECT_FALSE(IsModified());
  ReleaseHeldReadForTests();  // its result comes after the pass and is thrown away
  PumpFor(50);
  EXPECT_EQ(ColumnText(0, kColumnStatus), "Not Verified");
}

// The same tree added with four readers and with one: the same entries in the same order, each
// with the digest an independent MD5 gives its bytes; a file that cannot be read is left out
// and counted, and the others are unaffected.
TEST_F(ParallelTest, AnAddedTreeListsWhatOneReaderListsWithAFileHeldOpenLeftOut) {
  const int kFiles = 120;
  std::vector<std::string> contents;
  scratch_.MakeDir("tree");
  for (int i = 0; i < kFiles; ++i) {
    contents.push_back(i == 7 ? std::string(5u << 20, 'L') : Content(i) + std::to_string(i));
    scratch_.Write("tree\\" + Name(i), contents.back());
  }
  HANDLE locked = CreateFileA((scratch_.Path() + "\\tree\\" + Name(11)).c_str(), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  std::vector<std::vector<Row>> lists;
  for (int readers : {kReaders, 1}) {
    ClearEntries();
    SetReaderCountForTests(readers);
    AddTreeAsOperation((scratch_.Path() + "\\tree").c_str());
    EXPECT_EQ(LeftOut.unreadableFiles, 1) << readers;
    lists.push_back(Rows());
  }
  CloseHandle(locked);
  EXPECT_EQ(lists[0], lists[1]);
  ASSERT_EQ(lists[0].size(), static_cast<size_t>(kFiles - 1));
  for (const Row& row : lists[0]) {
    const int file = std::stoi(row.name.substr(std::string("tree/f").size()));
    EXPECT_NE(file, 11);
    EXPECT_EQ(row.digest, DigestOf(contents[file])) << row.name;
    EXPECT_EQ(row.status, "OK") << row.name;
  }
}

}  // namespace
