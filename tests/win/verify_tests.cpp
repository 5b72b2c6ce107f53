// Verifying and recalculating the listed files in the real main window.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "app/verify_commands.h"
#include "common/memory_seam.h"
#include "digest/file_digest.h"
#include "resources/resource.h"
#include "digest/read_queue.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

// Run with one reader and with four: from outside, several readers look like one.
class VerifyTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    SetReaderCountForTests(GetParam());
    ASSERT_NE(OpenMainWindow(), nullptr);
    SetBaseDirectory(scratch_.Path().c_str());
  }
  void TearDown() override {
    CloseMainWindow();
    SetReaderCountForTests(0);
  }

  // A file on disk, listed as a freshly read summary lists it.
  void Listed(const std::string& name, const std::string& bytes) {
    scratch_.Write(name, bytes);
    AppendEntry(name.c_str(), DigestOf(bytes).c_str(), kStatusNotVerified, kNoSize);
    SetModified(false);
  }

  // count files f0.txt... whose sizes are 1 K, 2 K, ... in list order.
  void ListFiles(int count) {
    for (int i = 0; i < count; ++i) Listed(Name(i), Content(i));
  }
  static std::string Name(int i) { return "f" + std::to_string(i) + ".txt"; }
  static std::string Content(int i) { return std::string(1024 * (i + 1), static_cast<char>('a' + i)); }
  static std::string Size(int i) { return std::to_string(i + 1) + " K  "; }

  ScratchDir scratch_;
};

TEST_P(VerifyTest, UnchangedFilesAreOkWithTheirSizes) {
  Listed("a.txt", "abc");
  scratch_.MakeDir("sub");
  Listed("sub/b.bin", std::string(3000, 'b'));

  VerifyAll(MainWindow);

  std::vector<Row> expected = {{"a.txt", DigestOf("abc"), "OK", "1 K  "},
                               {"sub/b.bin", DigestOf(std::string(3000, 'b')), "OK", "3 K  "}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(StatusBarText(), "All files OK");
  EXPECT_FALSE(IsModified());
  EXPECT_FALSE(BusyFlag);
}

TEST_P(VerifyTest, DeletedOrUnreadableFilesAreMissingWithoutSize) {
  ListFiles(3);
  DeleteFileA(scratch_.File(Name(0)).c_str());
  HANDLE writer = CreateFileA(scratch_.File(Name(2)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);

  DialogScript script;
  VerifyAll(MainWindow);
  CloseHandle(writer);

  std::vector<Row> expected = {{Name(0), DigestOf(Content(0)), "Missing", ""},
                               {Name(1), DigestOf(Content(1)), "OK", Size(1)},
                               {Name(2), DigestOf(Content(2)), "Missing", ""}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(StatusBarText(), "There are problems with some files!");
  EXPECT_TRUE(script.Seen().empty());
}

TEST_P(VerifyTest, ChangedContentIsAMismatchWithItsSize) {
  ListFiles(2);
  scratch_.Write(Name(1), std::string(5000, 'z'));

  VerifyAll(MainWindow);

  std::vector<Row> expected = {{Name(0), DigestOf(Content(0)), "OK", Size(0)},
                               {Name(1), DigestOf(Content(1)), "Mismatch", "5 K  "}};
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(StatusBarText(), "There are problems with some files!");
}

TEST_P(VerifyTest, OnlyTheSelectedEntriesAreRead) {
  ListFiles(10);
  Select({2, 5, 7});

  FileStartWatch watch;
  VerifySelected(MainWindow);

  EXPECT_EQ(watch.Names(), (std::vector<std::string>{" f2.txt...", " f5.txt...", " f7.txt..."}));
  for (int i = 0; i < 10; ++i) {
    bool chosen = i == 2 || i == 5 || i == 7;
    Row expected = {Name(i), DigestOf(Content(i)), chosen ? "OK" : "Not Verified",
                    chosen ? Size(i) : ""};
    EXPECT_EQ(RowAt(i), expected);
  }
  EXPECT_EQ(StatusBarText(), "All selected files OK");
}

TEST_P(VerifyTest, ProblemAmongTheSelectedIsReported) {
  ListFiles(4);
  scratch_.Write(Name(3), "changed");
  Select({1, 3});
  VerifySelected(MainWindow);
  EXPECT_EQ(RowAt(1).status, "OK");
  EXPECT_EQ(RowAt(3).status, "Mismatch");
  EXPECT_EQ(StatusBarText(), "There are problems with some files!");
}

TEST_P(VerifyTest, StopDuringTheThirdFileLeavesItAndTheRestUntouched) {
  for (int i = 0; i < 5; ++i) {
    scratch_.Write(Name(i), Content(i));
    AppendEntry(Name(i).c_str(), DigestOf(Content(i)).c_str(), kStatusMismatch, 9);
  }
  FileStartWatch watch([](const std::string&, int number) {
    if (number == 3) PostStop();
  });

  VerifyAll(MainWindow);

  EXPECT_EQ(watch.Names().size(), 3u);
  for (int i = 0; i < 5; ++i) {
    Row expected = {Name(i), DigestOf(Content(i)), i < 2 ? "OK" : "Mismatch", i < 2 ? Size(i) : "9 K  "};
    EXPECT_EQ(RowAt(i), expected);
  }
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_FALSE(BusyFlag);
  EXPECT_FALSE(ToolbarEnabled(IDM_STOP));
  EXPECT_TRUE(ToolbarEnabled(IDM_VERIFY_ALL));
  EXPECT_TRUE(ToolbarEnabled(IDM_ADD_FILES));
}

TEST_P(VerifyTest, SortDuringThePassKeepsEachResultWithItsFile) {
  ListFiles(4);
  scratch_.Write(Name(1), "changed");
  FileStartWatch watch([](const std::string&, int number) {
    if (number != 2) return;
    SortEntries(kColumnName);  // as a header click would, while the first file's result is in
    if (SortAscending) SortEntries(kColumnName);
  });

  VerifyAll(MainWindow);

  ASSERT_EQ(RowAt(0).name, Name(3));  // the list really was reversed
  for (int index = 0; index < 4; ++index) {
    int i = 3 - index;
    Row expected = {Name(i), DigestOf(Content(i)), i == 1 ? "Mismatch" : "OK",
                    i == 1 ? "1 K  " : Size(i)};
    EXPECT_EQ(RowAt(index), expected);
  }
}

TEST_P(VerifyTest, RecalculateReplacesDigestsAndKeepsTheDigestOfAMissingFile) {
  const std::string kOldDigest = DigestOf("as it was");
  for (int i = 0; i < 3; ++i) {
    if (i != 1) scratch_.Write(Name(i), Content(i));
    AppendEntry(Name(i).c_str(), kOldDigest.c_str(), kStatusNotVerified, kNoSize);
  }
  SetModified(false);
  SetStatusText("All files OK");  // an earlier verdict, which the pass clears

  RecalculateAll(MainWindow);

  std::vector<Row> expected = {{Name(0), DigestOf(Content(0)), "OK", Size(0)},
                               {Name(1), kOldDigest, "Missing", ""},
                               {Name(2), DigestOf(Content(2)), "OK", Size(2)}};
  EXPECT_EQ(Rows(), expected);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GetEntry(i)->digest, expected[i].digest);  // sort key
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(StatusBarText(), "");
  EXPECT_FALSE(BusyFlag);
}

// Memory that runs out for a queued read marks that entry Out of memory in its turn; the others
// are read, and nothing ends the program.
TEST_P(VerifyTest, NoMemoryForAQueuedReadMarksItsEntry) {
  ListFiles(8);
  RefuseItemsAfterForTests(5);
  VerifyAll(MainWindow);
  RefuseItemsAfterForTests(-1);
  int outOfMemory = 0;
  for (int i = 0; i < 8; ++i) {
    const Row row = RowAt(i);
    if (row.status == "Out of memory") {
      ++outOfMemory;
    } else {
      EXPECT_EQ(row, (Row{Name(i), DigestOf(Content(i)), "OK", Size(i)}));
    }
  }
  EXPECT_GT(outOfMemory, 0);
  EXPECT_EQ(StatusBarText(), "There are problems with some files!");
  EXPECT_FALSE(BusyFlag);
}

TEST_P(VerifyTest, RecalculateModifiesTheDocumentEvenWhenNoDigestChanged) {
  ListFiles(2);
  RecalculateAll(MainWindow);
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(RowAt(1), (Row{Name(1), DigestOf(Content(1)), "OK", Size(1)}));
}

TEST_P(VerifyTest, RecalculateSelectedChangesOnlyTheSelected) {
  const std::string kOldDigest = DigestOf("as it was");
  for (int i = 0; i < 4; ++i) {
    scratch_.Write(Name(i), Content(i));
    AppendEntry(Name(i).c_str(), kOldDigest.c_str(), kStatusNotVerified, kNoSize);
  }
  Select({1, 2});
  RecalculateSelected(MainWindow);
  for (int i = 0; i < 4; ++i) {
    bool chosen = i == 1 || i == 2;
    Row expected = {Name(i), chosen ? DigestOf(Content(i)) : kOldDigest,
                    chosen ? "OK" : "Not Verified", chosen ? Size(i) : ""};
    EXPECT_EQ(RowAt(i), expected);
  }
}

TEST_P(VerifyTest, StoppedRecalculationKeepsTheStoppedEntrysDigest) {
  const std::string kOldDigest = DigestOf("as it was");
  for (int i = 0; i < 3; ++i) {
    scratch_.Write(Name(i), Content(i));
    AppendEntry(Name(i).c_str(), kOldDigest.c_str(), kStatusNotVerified, kNoSize);
  }
  SetModified(false);
  FileStartWatch watch([](const std::string&, int number) {
    if (number == 2) PostStop();
  });
  RecalculateAll(MainWindow);
  EXPECT_EQ(RowAt(0), (Row{Name(0), DigestOf(Content(0)), "OK", Size(0)}));
  EXPECT_EQ(RowAt(1), (Row{Name(1), kOldDigest, "Not Verified", ""}));
  EXPECT_EQ(RowAt(2), (Row{Name(2), kOldDigest, "Not Verified", ""}));
  EXPECT_TRUE(IsModified());
  EXPECT_FALSE(BusyFlag);
}

// Runs all four operations, each answering its error box; returns what the boxes showed.
std::vector<SeenDialog> RunAllFourAnsweringBoxes() {
  DialogScript script;
  for (int i = 0; i < 4; ++i) script.Then(Press(IDOK));
  VerifyAll(MainWindow);
  VerifySelected(MainWindow);
  RecalculateAll(MainWindow);
  RecalculateSelected(MainWindow);
  return script.Seen();
}

TEST_P(VerifyTest, EveryOperationNeedsABaseDirectoryEvenWithAnEmptyList) {
  SetBaseDirectory("");
  const char kVerifyText[] = "You must set the Base Directory before verifying any files!";
  const char kRecalculateText[] = "You must set the Base Directory before setting  any files!";
  std::vector<SeenDialog> seen = RunAllFourAnsweringBoxes();
  ASSERT_EQ(seen.size(), 4u);
  const char* expected[4] = {kVerifyText, kVerifyText, kRecalculateText, kRecalculateText};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(seen[i].title, "Velmora");
    EXPECT_EQ(seen[i].text, expected[i]);
  }
}

TEST_P(VerifyTest, WithoutABaseDirectoryNoEntryChanges) {
  ListFiles(2);
  Select({0});
  SetBaseDirectory("");
  EXPECT_EQ(RunAllFourAnsweringBoxes().size(), 4u);
  for (const Row& row : Rows()) EXPECT_EQ(row.status, "Not Verified");
  EXPECT_FALSE(IsModified());
}

TEST_P(VerifyTest, EmptyListShowsNoBoxAndRunsNothing) {
  SetStatusText("before");
  DialogScript script;
  FileStartWatch watch;
  VerifyAll(MainWindow);
  VerifySelected(MainWindow);
  RecalculateAll(MainWindow);
  RecalculateSelected(MainWindow);
  EXPECT_TRUE(script.Seen().empty());
  EXPECT_EQ(StatusBarText(), "before");
  EXPECT_FALSE(IsModified());
  EXPECT_FALSE(BusyFlag);
}

// A summary from elsewhere may name files outside the Base Directory: they are read where the
// joined path points, and nothing is ever written to them.
TEST_P(VerifyTest, NamesLeavingTheBaseAreReadAsWrittenAndNeverWritten) {
  ScratchDir outside;
  std::string outsideBytes = "outside";
  std::string outsidePath = outside.Write("o.txt", outsideBytes);
  scratch_.MakeDir("base");
  scratch_.Write("up.txt", "one level up");
  SetBaseDirectory(scratch_.File("base").c_str());
  AppendEntry("../up.txt", DigestOf("one level up").c_str(), kStatusNotVerified, kNoSize);
  std::string absolute = outsidePath;
  for (char& c : absolute) {
    if (c == '\\') c = '/';
  }
  AppendEntry(absolute.c_str(), DigestOf(outsideBytes).c_str(), kStatusNotVerified, kNoSize);

  VerifyAll(MainWindow);
  RecalculateAll(MainWindow);

  std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].status, "OK");       // base\../up.txt is the file one level up
  EXPECT_EQ(rows[1].status, "Missing");  // base\C:/... names no file
  EXPECT_EQ(ReadWholeFile(scratch_.File("up.txt")), "one level up");
  EXPECT_EQ(ReadWholeFile(outsidePath), outsideBytes);
}

INSTANTIATE_TEST_SUITE_P(Readers, VerifyTest, ::testing::Values(1, 4));

}  // namespace
